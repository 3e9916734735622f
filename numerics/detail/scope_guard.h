// Releases what a routine holds when its scope ends: on return and when an exception (thrown by
// a run-time error handler or by a caller's callback) passes through. A language feature only,
// so the toolkit keeps to the C runtime.
#ifndef NUMERICS_DETAIL_SCOPE_GUARD_H
#define NUMERICS_DETAIL_SCOPE_GUARD_H

namespace numerics::detail {

// scope_guard release_v{[&] { release_vector(v, 1, n); }}; placed right after the allocation.
template <typename Release>
class scope_guard {
 public:
  explicit scope_guard(Release release) : release_(release) {}
  ~scope_guard() {
    if (armed_) release_();
  }
  scope_guard(const scope_guard&) = delete;
  scope_guard& operator=(const scope_guard&) = delete;

  // The holder keeps what was allocated: nothing is released at the end of the scope.
  void dismiss() { armed_ = false; }

 private:
  Release release_;
  bool armed_ = true;
};

}  // namespace numerics::detail

#endif
