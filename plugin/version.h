// Host versions as the plugin compares them.
#pragma once

// The oldest host the plugin runs in: 2.4.1.
constexpr int minimum_host_major = 2;
constexpr int minimum_host_minor = 4;
constexpr int minimum_host_sub_minor = 1;

// True when the actual version is at least the required one, comparing major, then minor,
// then sub-minor as signed integers.
bool version_at_least(int actual_major, int actual_minor, int actual_sub_minor, int required_major, int required_minor,
                      int required_sub_minor);
