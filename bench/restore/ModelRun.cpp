#include "bench/restore/ModelRun.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/restore/BenchTree.h"
#include "bench/restore/HandCopy.h"
#include "bench/restore/ModelMount.h"
#include "bench/restore/TimedPair.h"
#include "bench/restore/WindowRestore.h"

namespace velmira::bench {

ModelRun::ModelRun(const BenchOptions& options, std::filesystem::path programs)
    : options_(options), programs_(std::move(programs)) {}

void ModelRun::Run(int files) const {
    BenchTree tree(options_.parent);
    const std::vector<std::string> names = ChartMix(files);
    BenchTree::WriteFiles(tree.BackUp(), names, options_.smallSize);
    const std::vector<std::string> routed = RoutedNames(names);
    using Scanner = ModelMount::Scanner;
    double restore = 0;
    double stick = 0;
    double hand = 0;
    const auto restoreOnModel = [&] {
        const ModelMount model(tree, programs_, Scanner::On);
        WindowRestore window(model.Drives());
        window.Open();
        restore = RestoreThroughWindow(window, tree, routed.size());
    };
    const auto readStick = [&] {
        const ModelMount model(tree, programs_, Scanner::Off);
        stick = TimeReadAll(model.BackUp(), routed);
    };
    const auto byHand = [&] {
        const ModelMount model(tree, programs_, Scanner::On);
        hand = TimeHandCopy(model.BackUp(), routed, model.Velmira("copy"));
        if (CountEntries(tree.Velmira("copy")) != routed.size())
            throw std::runtime_error("cp -a copied too few");
    };
    TimedPair toStick;
    TimedPair toHand;
    for (int round = 0; round < options_.modelRounds; ++round) {
        for (const char* folder : {"H15", "set", "copy"}) tree.MakeFresh(tree.Velmira(folder));
        // Each starts with what the one before wrote on the disk.
        const auto timed = [&](const auto& measure) {
            tree.Sync();
            measure();
        };
        if (round % 2 == 0) {
            timed(byHand);
            timed(readStick);
            timed(restoreOnModel);
        } else {
            timed(restoreOnModel);
            timed(readStick);
            timed(byHand);
        }
        toStick.restore.push_back(restore);
        toStick.baseline.push_back(stick);
        toHand.restore.push_back(restore);
        toHand.baseline.push_back(hand);
    }
    const std::string label = "model (" + std::to_string(names.size()) + " x " +
                              Bytes(options_.smallSize) + ", " + std::to_string(routed.size()) +
                              " routed; " + ModelMount::Describe({}) + ")";
    toStick.Print(label, "restore", "stick read", options_.verbose);
    toHand.Print("model (" + std::to_string(names.size()) + ")", "restore", "cp -a + sync",
                 options_.verbose);
}

}  // namespace velmira::bench
