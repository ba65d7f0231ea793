#pragma once

#include <cstdint>
#include <string>
#include <tuple>

namespace dustrel::scan {

// A file a scan found: what the listing told of it, and its place in the order one walk per
// pattern would have given (the rows of a drive's walk are put in that order when it ends).
struct Finding {
    std::wstring path;
    std::uint64_t size = 0;
    // The last write, in 100-nanosecond intervals since 1601 (UTC).
    std::uint64_t lastWrite = 0;

    // Which walk of the scan found it: the built-in categories' walks, one per checked drive in
    // list order, then the custom items'.
    std::uint32_t walk = 0;
    // The category or custom row of the category list, and the pattern of that row.
    std::uint32_t row = 0;
    std::uint32_t pattern = 0;

    // Before `other` in walk order; a walk reports the findings of one pattern in their order.
    bool before(const Finding& other) const {
        return std::tie(walk, row, pattern) < std::tie(other.walk, other.row, other.pattern);
    }
};

}  // namespace dustrel::scan
