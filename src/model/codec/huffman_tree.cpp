#include "model/codec/huffman_tree.h"

#include <algorithm>
#include <numeric>

namespace {

// The table is read as pairs of bytes: pair 0 holds the size byte and the
// root, every other pair the two children of one node. A node in pair p
// finds its children in pair p + 1 + offset, offset 0..63.
constexpr std::size_t MaxPairDistance = 64;
constexpr std::uint8_t Child0IsLeaf = 0x80, Child1IsLeaf = 0x40;
// Longer codes never come from counts below 2^24 per symbol; the limit
// keeps a code and the bits waiting to be written within 64 bits.
constexpr int LongestCode = 48;

struct TreeNode {
    std::array<int, 2> Child{-1, -1};  // a node index, or the symbol when the child is a leaf
    std::array<bool, 2> Leaf{};
};

struct Tree {
    std::vector<TreeNode> Nodes;  // the root first
};

// The canonical tree of these code lengths, filling codes in order of
// length, then symbol.
Tree CanonicalTree(const std::array<int, 256>& lengths, std::array<std::uint64_t, 256>& codes)
{
    std::vector<int> symbols;
    for (int s = 0; s < 256; ++s) {
        if (lengths[s] > 0)
            symbols.push_back(s);
    }
    std::stable_sort(symbols.begin(), symbols.end(), [&](int a, int b) { return lengths[a] < lengths[b]; });
    Tree tree;
    tree.Nodes.emplace_back();
    std::uint64_t code = 0;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const int length = lengths[symbols[i]];
        if (i > 0)
            code = (code + 1) << (length - lengths[symbols[i - 1]]);
        codes[symbols[i]] = code;
        int node = 0;
        for (int bit = length - 1; bit > 0; --bit) {
            const int side = static_cast<int>(code >> bit & 1);
            if (tree.Nodes[node].Child[side] < 0) {
                tree.Nodes[node].Child[side] = static_cast<int>(tree.Nodes.size());
                tree.Nodes.emplace_back();
            }
            node = tree.Nodes[node].Child[side];
        }
        tree.Nodes[node].Child[code & 1] = symbols[i];
        tree.Nodes[node].Leaf[code & 1] = true;
    }
    return tree;
}

// Gives each node's children a pair. Every placed node asks for its
// children's pair within the next 64 pairs: a deadline. Taking the latest
// request keeps subtrees together (short offsets); a request that has just
// enough pairs left before its deadline goes first. Breadth-first order
// alone fails on full trees of 256 leaves.
std::optional<std::vector<std::size_t>> ChildPairs(const Tree& tree)
{
    struct Request {
        int Node;
        std::size_t Deadline;
    };
    std::vector<std::size_t> childPair(tree.Nodes.size(), 0);
    std::vector<Request> waiting{{0, MaxPairDistance}};
    for (std::size_t pair = 1; !waiting.empty(); ++pair) {
        std::size_t pick = waiting.size() - 1;
        for (std::size_t k = 0; k < waiting.size(); ++k) {
            // Pairs pair .. pair + k serve the first k + 1 requests at best.
            if (waiting[k].Deadline < pair + k)
                return std::nullopt;
            if (waiting[k].Deadline == pair + k) {
                pick = k;
                break;
            }
        }
        const int node = waiting[pick].Node;
        waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(pick));
        childPair[static_cast<std::size_t>(node)] = pair;
        for (int side = 0; side < 2; ++side) {
            if (!tree.Nodes[node].Leaf[side])
                waiting.push_back({tree.Nodes[node].Child[side], pair + MaxPairDistance});
        }
    }
    return childPair;
}

std::optional<std::vector<std::uint8_t>> TreeTable(const Tree& tree)
{
    const auto childPair = ChildPairs(tree);
    if (!childPair)
        return std::nullopt;
    // Whole 32-bit words, so the bitstream that follows is aligned.
    const std::size_t pairs = (tree.Nodes.size() + 2) & ~std::size_t{1};
    std::vector<std::uint8_t> table(pairs * 2, 0);
    table[0] = static_cast<std::uint8_t>(pairs - 1);
    // Each node's byte sits in its parent's child pair (the root at 1).
    std::vector<std::pair<int, std::size_t>> todo{{0, 1}};
    while (!todo.empty()) {
        const auto [node, at] = todo.back();
        todo.pop_back();
        const TreeNode& n = tree.Nodes[static_cast<std::size_t>(node)];
        const std::size_t children = (*childPair)[static_cast<std::size_t>(node)];
        table[at] = static_cast<std::uint8_t>((children - at / 2 - 1) | (n.Leaf[0] ? Child0IsLeaf : 0) |
                                              (n.Leaf[1] ? Child1IsLeaf : 0));
        for (std::size_t side = 0; side < 2; ++side) {
            if (n.Leaf[side])
                table[children * 2 + side] = static_cast<std::uint8_t>(n.Child[side]);
            else
                todo.emplace_back(n.Child[side], children * 2 + side);
        }
    }
    return table;
}

}  // namespace

std::vector<int> LimitedCodeLengths(std::span<const std::uint64_t> weights, int maxLength)
{
    const std::size_t n = weights.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return weights[a] < weights[b]; });

    // levels[0] is the list of the codes' first bit, levels.back() that of
    // the last; a package stands for two items of the level below it.
    struct Item {
        std::uint64_t Weight;
        int Leaf;  // position in order, or -1 for a package
    };
    const std::size_t keep = 2 * n - 2;
    std::vector<std::vector<Item>> levels(static_cast<std::size_t>(maxLength));
    for (std::size_t level = levels.size(); level-- > 0;) {
        std::vector<Item> packages;
        if (level + 1 < levels.size()) {
            const std::vector<Item>& below = levels[level + 1];
            for (std::size_t k = 0; k + 1 < below.size(); k += 2)
                packages.push_back({below[k].Weight + below[k + 1].Weight, -1});
        }
        std::vector<Item>& merged = levels[level];
        std::size_t leaf = 0, package = 0;
        while (merged.size() < keep && (leaf < n || package < packages.size())) {
            if (package == packages.size() || (leaf < n && weights[order[leaf]] <= packages[package].Weight)) {
                merged.push_back({weights[order[leaf]], static_cast<int>(leaf)});
                ++leaf;
            } else {
                merged.push_back(packages[package++]);
            }
        }
    }
    // The cheapest 2n - 2 items of the first level; each leaf taken on a
    // level adds one bit to its symbol's code.
    std::vector<int> lengths(n, 0);
    std::size_t taken = keep;
    for (const std::vector<Item>& level : levels) {
        std::size_t packages = 0;
        for (std::size_t k = 0; k < taken && k < level.size(); ++k) {
            if (level[k].Leaf < 0)
                ++packages;
            else
                ++lengths[order[static_cast<std::size_t>(level[k].Leaf)]];
        }
        taken = 2 * packages;
    }
    return lengths;
}

std::optional<HuffmanCode> BuildHuffmanCode(std::span<const std::uint64_t> counts)
{
    std::vector<int> symbols;
    std::vector<std::uint64_t> weights;
    for (std::size_t s = 0; s < counts.size(); ++s) {
        if (counts[s] > 0) {
            symbols.push_back(static_cast<int>(s));
            weights.push_back(counts[s]);
        }
    }
    if (symbols.empty())
        return std::nullopt;
    if (symbols.size() == 1) {
        symbols.push_back(symbols[0] == 0 ? 1 : 0);
        weights.push_back(0);
    }
    int shortest = 1;
    while (std::size_t{1} << shortest < symbols.size())
        ++shortest;
    // A tree that cannot be laid out gets its longest codes shortened, one
    // bit at a time, until it can.
    for (int limit = std::min(static_cast<int>(symbols.size()) - 1, LongestCode); limit >= shortest;) {
        const std::vector<int> lengths = LimitedCodeLengths(weights, limit);
        HuffmanCode code;
        for (std::size_t k = 0; k < symbols.size(); ++k)
            code.Lengths[static_cast<std::size_t>(symbols[k])] = lengths[k];
        auto table = TreeTable(CanonicalTree(code.Lengths, code.Codes));
        if (table) {
            code.Table = std::move(*table);
            return code;
        }
        limit = *std::max_element(lengths.begin(), lengths.end()) - 1;
    }
    return std::nullopt;
}
