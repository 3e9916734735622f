// How the sorting routines move elements: a key array alone, or a key array with a companion
// array that follows every move. The routines compare `values` only; these policies only move,
// so one partition serves both kinds of sort and every element type.
#ifndef NUMERICS_DETAIL_ELEMENT_MOVES_H
#define NUMERICS_DETAIL_ELEMENT_MOVES_H

namespace numerics::detail {

// Moves within one 1-based key array.
template <typename T>
struct Keys {
  T* values;

  // An element taken out of the array (the insertion key, the pivot).
  struct Held {
    T key;
  };
  Held take(unsigned p) const { return {values[p]}; }
  void put(const Held& held, unsigned p) const { values[p] = held.key; }
  void move(unsigned from, unsigned to) const { values[to] = values[from]; }
  void swap(unsigned p, unsigned q) const {
    const T t = values[p];
    values[p] = values[q];
    values[q] = t;
  }
};

// Moves within a 1-based float key array, each repeated at the same positions of `companion`.
struct KeysWithCompanions {
  float* values;
  float* companion;

  struct Held {
    float key;
    float companion;
  };
  Held take(unsigned p) const { return {values[p], companion[p]}; }
  void put(const Held& held, unsigned p) const {
    values[p] = held.key;
    companion[p] = held.companion;
  }
  void move(unsigned from, unsigned to) const {
    values[to] = values[from];
    companion[to] = companion[from];
  }
  void swap(unsigned p, unsigned q) const {
    Keys<float>{values}.swap(p, q);
    Keys<float>{companion}.swap(p, q);
  }
};

// NaN is the one value that compares unequal to itself.
inline bool is_nan(float x) { return x != x; }

// Moves the NaN keys of [1..n] behind all others and returns how many others there are. The
// others keep their order, so a sort of [1..count] afterwards makes exactly the moves it would
// make had the NaNs never been there; the NaNs are permuted among themselves. Nothing moves
// when there is no NaN.
template <typename Moves>
unsigned move_nans_last(const Moves& moves, unsigned n) {
  unsigned count = 0;
  for (unsigned p = 0; p < n;) {  // p runs 1..n without wrapping at the top of the range
    ++p;
    if (is_nan(moves.values[p])) continue;
    ++count;
    if (count != p) moves.swap(count, p);
  }
  return count;
}

}  // namespace numerics::detail

#endif
