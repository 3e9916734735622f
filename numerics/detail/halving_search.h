// The fixed-length search behind the inverse significance routines.
#ifndef NUMERICS_DETAIL_HALVING_SEARCH_H
#define NUMERICS_DETAIL_HALVING_SEARCH_H

namespace numerics::detail {

// Finds v with probability(v) close to p for a probability that falls as v grows: 25 moves
// of `step` from `start`, down when p exceeds probability(v) (v too large), up otherwise (NaN
// included), halving the step whenever the direction turns; the search begins as if its last
// move had been up. Each move uses the step from before its own halving. The value after the
// 25th move is returned without being evaluated; no tolerance, no bounds.
template <typename Probability>
float halving_search(float p, float start, float step, Probability probability) {
  const int moves = 25;
  float v = start;
  bool moving_up = true;
  for (int move = 0; move < moves; ++move) {
    const float q = probability(v);
    if (p > q) {
      v -= step;
      if (moving_up) step *= 0.5f;
      moving_up = false;
    } else {
      v += step;
      if (!moving_up) step *= 0.5f;
      moving_up = true;
    }
  }
  return v;
}

}  // namespace numerics::detail

#endif
