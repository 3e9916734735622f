#include <stdlib.h>

#include "numerics/arrays.h"
#include "numerics/detail/offset_storage.h"

namespace numerics {
namespace {

template <typename T>
T* offset_vector(int low, int high, const char* message) {
  T* block = static_cast<T*>(detail::allocate_elements(detail::range_count(low, high), sizeof(T), message));
  return detail::displaced(block, -static_cast<int64_t>(low));
}

template <typename T>
void release_offset_vector(T* v, int low) {
  free(detail::displaced(v, low));
}

}  // namespace

float* vector(int low, int high) { return offset_vector<float>(low, high, "allocation failure in vector()"); }
int* ivector(int low, int high) { return offset_vector<int>(low, high, "allocation failure in ivector()"); }
unsigned char* cvector(int low, int high) {
  return offset_vector<unsigned char>(low, high, "allocation failure in cvector()");
}
int32_t* lvector(int low, int high) { return offset_vector<int32_t>(low, high, "allocation failure in lvector()"); }
double* dvector(int low, int high) { return offset_vector<double>(low, high, "allocation failure in dvector()"); }

void release_vector(float* v, int low, int) { release_offset_vector(v, low); }
void release_ivector(int* v, int low, int) { release_offset_vector(v, low); }
void release_cvector(unsigned char* v, int low, int) { release_offset_vector(v, low); }
void release_lvector(int32_t* v, int low, int) { release_offset_vector(v, low); }
void release_dvector(double* v, int low, int) { release_offset_vector(v, low); }

}  // namespace numerics
