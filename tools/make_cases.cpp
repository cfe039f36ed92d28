// varnex-make-cases: writes generated retargeting cases, each a folder holding a model, a
// reference animation, an animation, sometimes a conversion file, and the varnex-cli arguments
// that run it (args.txt, one argument a line). Used to check that a change to the engine leaves
// every output byte as it was.
//
// Usage: varnex-make-cases DIR FIRST COUNT    cases FIRST to FIRST + COUNT - 1 in DIR/case-N
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "sample_skeletons.h"

namespace {
// The same digits from every standard library: std::mt19937 is specified, distributions are not.
class CRandom {
public:
    explicit CRandom(std::uint32_t seed) : m_engine(seed) {}
    int Below(int n) { return static_cast<int>(m_engine() % static_cast<std::uint32_t>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }

private:
    std::mt19937 m_engine;
};

// The skeleton with its nodes in another order (the root stays first, as in every real file).
SAMPLE_SKELETON Shuffled(const SAMPLE_SKELETON& skeleton, CRandom& random) {
    std::vector<int> order(skeleton.nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    for (std::size_t i = order.size() - 1; i > 1; --i) {
        std::swap(order[i], order[1 + static_cast<std::size_t>(random.Below(static_cast<int>(i)))]);
    }
    std::vector<int> newIndex(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) newIndex[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    SAMPLE_SKELETON out;
    for (int old : order) {
        SAMPLE_NODE node = skeleton.nodes[static_cast<std::size_t>(old)];
        if (node.parent >= 0) node.parent = newIndex[static_cast<std::size_t>(node.parent)];
        out.nodes.push_back(node);
    }
    return out;
}

std::string Animation(const SAMPLE_SKELETON& skeleton, int frames) {
    std::string text = SmdHeader(skeleton);
    for (int f = 0; f < frames; ++f) AppendFrame(text, f, WalkFrame(skeleton, f, 24));
    return text + "end\r\n";
}

std::string Reference(const SAMPLE_SKELETON& skeleton) { return Animation(skeleton, 1); }

std::string ConFile(CRandom& random, int sourceNodes) {
    static const double CORRECTIONS[] = {1.0, 0.5, 1.25, 0.333333, -2.0, 0.001, 7.0, 0.0};
    std::string bytes;
    for (int r = 0; r < 60; ++r) {
        int node = random.Below(sourceNodes);
        if (random.OneIn(5)) node += 100;
        bytes += static_cast<char>(node);
        double c = CORRECTIONS[random.Below(8)];
        unsigned char raw[8];
        std::memcpy(raw, &c, 8);  // the generator runs on little-endian machines only
        bytes.append(reinterpret_cast<const char*>(raw), 8);
    }
    return bytes;
}

void WriteCase(const std::string& folder, int number) {
    CRandom random(static_cast<std::uint32_t>(number) * 2654435761u + 17u);
    const SAMPLE_SKELETON skeletons[4] = {KnightSkeleton(), RunnerSkeleton(), BenchModelSkeleton(),
                                          BenchRefSkeleton()};
    SAMPLE_SKELETON model = skeletons[random.Below(4)];
    SAMPLE_SKELETON source = skeletons[random.Below(4)];
    if (random.OneIn(2)) model = Shuffled(model, random);
    if (random.OneIn(2)) source = Shuffled(source, random);

    std::string dir = folder + "/case-" + std::to_string(number);
    std::filesystem::create_directories(dir);
    WriteTextFile(dir + "/model.smd", Reference(model));
    WriteTextFile(dir + "/ref.smd", Reference(source));
    WriteTextFile(dir + "/anim.smd", Animation(source, 2 + random.Below(6)));

    std::vector<std::string> args;
    bool grid = random.OneIn(4);
    args.push_back(grid ? "grid" : "build");
    args.insert(args.end(), {"--model", "model.smd", "--ref-anim", "ref.smd"});
    int sourceNodes = static_cast<int>(source.nodes.size());
    if (random.OneIn(3)) {
        WriteTextFile(dir + "/grid.con", ConFile(random, sourceNodes));
        args.insert(args.end(), {"--con", "grid.con"});
    }
    static const char* const CORRECTIONS[] = {"0.5", "1.5", "0.25", "-1", "2.000001", "0", "1e-2"};
    for (int k = random.Below(6); k > 0; --k) {
        int row = random.Below(static_cast<int>(std::min<std::size_t>(60, model.nodes.size())));
        int node = random.Below(sourceNodes);
        std::string set = std::to_string(row) + "=";
        switch (random.Below(4)) {
            case 0: set += std::to_string(node); break;
            case 1: set += std::to_string(node + 100) + ":" + CORRECTIONS[random.Below(7)]; break;
            case 2:
                set += ':';
                set += CORRECTIONS[random.Below(7)];
                break;
            default: set += "0"; break;
        }
        args.insert(args.end(), {"--set", set});
    }
    if (grid) {
        args.insert(args.end(), {"--save-con", "saved.con"});
    } else {
        if (random.OneIn(3)) args.push_back("--convert-biped");
        if (random.OneIn(3)) args.insert(args.end(), {"--line-ends", "lf"});
        args.insert(args.end(), {"-o", "out.smd", "anim.smd"});
    }
    std::string text;
    for (const std::string& a : args) text += a + "\n";
    WriteTextFile(dir + "/args.txt", text);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: varnex-make-cases DIR FIRST COUNT\n");
        return 2;
    }
    try {
        int first = std::stoi(argv[2]);
        int count = std::stoi(argv[3]);
        for (int n = first; n < first + count; ++n) WriteCase(argv[1], n);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnex-make-cases: %s\n", e.what());
        return 1;
    }
    return 0;
}
