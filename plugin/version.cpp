#include "plugin/version.h"

bool version_at_least(int actual_major, int actual_minor, int actual_sub_minor, int required_major, int required_minor,
                      int required_sub_minor) {
  if (actual_major != required_major) return actual_major > required_major;
  if (actual_minor != required_minor) return actual_minor > required_minor;
  return actual_sub_minor >= required_sub_minor;
}
