#include "model/codec/suffix_array.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// Sorts the suffixes of text (n symbols below alphabet, the last one a 0
// that occurs nowhere else) into sa. The suffixes are sorted through their
// leftmost-S positions (an S suffix is smaller than the one after it; a
// leftmost-S one follows an L suffix): those are sorted first, by the string
// up to the next such position, recursively when two of those strings are
// equal, and their order places all the others.
void InducedSort(const std::int32_t* text, std::int32_t* sa, std::int32_t n, std::int32_t alphabet)
{
    std::vector<std::uint8_t> isS(static_cast<std::size_t>(n));
    isS[n - 1] = 1;
    for (std::int32_t i = n - 2; i >= 0; --i)
        isS[i] = text[i] < text[i + 1] || (text[i] == text[i + 1] && isS[i + 1]);
    const auto isLeftmostS = [&](std::int32_t i) { return i > 0 && isS[i] && !isS[i - 1]; };

    std::vector<std::int32_t> counts(static_cast<std::size_t>(alphabet));
    std::vector<std::int32_t> bucket(static_cast<std::size_t>(alphabet));
    for (std::int32_t i = 0; i < n; ++i)
        ++counts[text[i]];
    const auto bucketStarts = [&] {
        std::int32_t sum = 0;
        for (std::int32_t c = 0; c < alphabet; ++c) {
            bucket[c] = sum;
            sum += counts[c];
        }
    };
    const auto bucketEnds = [&] {
        std::int32_t sum = 0;
        for (std::int32_t c = 0; c < alphabet; ++c) {
            sum += counts[c];
            bucket[c] = sum;
        }
    };
    // From leftmost-S suffixes placed at their bucket ends, places every L
    // suffix (left to right) and then every S suffix (right to left).
    const auto induce = [&] {
        bucketStarts();
        for (std::int32_t k = 0; k < n; ++k) {
            const std::int32_t j = sa[k] - 1;
            if (sa[k] > 0 && !isS[j])
                sa[bucket[text[j]]++] = j;
        }
        bucketEnds();
        for (std::int32_t k = n - 1; k >= 0; --k) {
            const std::int32_t j = sa[k] - 1;
            if (sa[k] > 0 && isS[j])
                sa[--bucket[text[j]]] = j;
        }
    };

    std::fill(sa, sa + n, -1);
    bucketEnds();
    for (std::int32_t i = 1; i < n; ++i) {
        if (isLeftmostS(i))
            sa[--bucket[text[i]]] = i;
    }
    induce();

    // The leftmost-S positions now come in the order of their strings; name
    // the strings, equal ones alike.
    std::int32_t count = 0;
    for (std::int32_t k = 0; k < n; ++k) {
        if (isLeftmostS(sa[k]))
            sa[count++] = sa[k];
    }
    std::fill(sa + count, sa + n, -1);
    std::int32_t names = 0;
    std::int32_t previous = -1;
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t position = sa[k];
        bool differs = previous < 0;
        for (std::int32_t d = 0; !differs; ++d) {
            if (text[position + d] != text[previous + d] || isS[position + d] != isS[previous + d])
                differs = true;
            else if (d > 0 && (isLeftmostS(position + d) || isLeftmostS(previous + d)))
                break;
        }
        if (differs) {
            ++names;
            previous = position;
        }
        // Leftmost-S positions are at least 2 apart, so halves do not collide.
        sa[count + position / 2] = names - 1;
    }
    std::int32_t* reduced = sa + n - count;
    for (std::int32_t k = n - 1, j = n - 1; k >= count; --k) {
        if (sa[k] >= 0)
            sa[j--] = sa[k];
    }

    // Sort the reduced text of names (its last name, the sentinel's, is the
    // only 0), recursively unless every name is distinct.
    std::int32_t* reducedSa = sa;
    if (names < count) {
        InducedSort(reduced, reducedSa, count, names);
    } else {
        for (std::int32_t k = 0; k < count; ++k)
            reducedSa[reduced[k]] = k;
    }

    for (std::int32_t i = 1, j = 0; i < n; ++i) {
        if (isLeftmostS(i))
            reduced[j++] = i;
    }
    for (std::int32_t k = 0; k < count; ++k)
        reducedSa[k] = reduced[reducedSa[k]];
    std::fill(sa + count, sa + n, -1);
    bucketEnds();
    for (std::int32_t k = count - 1; k >= 0; --k) {
        const std::int32_t position = sa[k];
        sa[k] = -1;
        sa[--bucket[text[position]]] = position;
    }
    induce();
}

}  // namespace

std::vector<std::int32_t> SuffixArray(std::span<const std::uint8_t> data)
{
    if (data.empty())
        return {};
    if (data.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("too many bytes for a suffix array");
    const auto n = static_cast<std::int32_t>(data.size());
    // Bytes shifted up by one make room for the 0 sentinel.
    std::vector<std::int32_t> text(data.size() + 1);
    for (std::int32_t i = 0; i < n; ++i)
        text[i] = data[i] + 1;
    text[n] = 0;
    std::vector<std::int32_t> sa(data.size() + 1);
    InducedSort(text.data(), sa.data(), n + 1, 257);
    sa.erase(sa.begin());
    return sa;
}

std::vector<std::int32_t> CommonPrefixLengths(std::span<const std::uint8_t> data,
                                              std::span<const std::int32_t> suffixArray)
{
    const std::size_t n = suffixArray.size();
    std::vector<std::int32_t> rank(n);
    for (std::size_t k = 0; k < n; ++k)
        rank[suffixArray[k]] = static_cast<std::int32_t>(k);
    // Each suffix shares at least one byte less with its neighbour than the
    // suffix one longer did, so the comparisons add up to linear time.
    std::vector<std::int32_t> lengths(n);
    std::size_t shared = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (rank[i] == 0) {
            shared = 0;
            continue;
        }
        const auto j = static_cast<std::size_t>(suffixArray[rank[i] - 1]);
        while (i + shared < n && j + shared < n && data[i + shared] == data[j + shared])
            ++shared;
        lengths[rank[i]] = static_cast<std::int32_t>(shared);
        if (shared > 0)
            --shared;
    }
    return lengths;
}
