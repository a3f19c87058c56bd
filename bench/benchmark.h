#pragma once
// What the benchmarks share.

#include <algorithm>
#include <vector>

namespace bench {

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
