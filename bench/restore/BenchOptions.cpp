#include "bench/restore/BenchOptions.h"

#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace velmira::bench {

namespace {

long long Number(std::string_view option, const char* text) {
    if (text == nullptr) throw std::invalid_argument(std::string(option) + " needs a value");
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || value < 0) {
        throw std::invalid_argument(std::string(option) + ": not a count: " + text);
    }
    std::string_view unit(end);
    if (unit == "K" || unit == "k") return value << 10;
    if (unit == "M" || unit == "m") return value << 20;
    if (unit == "G" || unit == "g") return value << 30;
    if (!unit.empty()) throw std::invalid_argument(std::string(option) + ": bad unit: " + text);
    return value;
}

int Count(std::string_view option, const char* text) {
    const long long value = Number(option, text);
    if (value < 1 || value > 1000000) {
        throw std::invalid_argument(std::string(option) + ": out of range: " + text);
    }
    return static_cast<int>(value);
}

// "2000,20000": one count or several.
std::vector<int> Counts(std::string_view option, const char* text) {
    if (text == nullptr) throw std::invalid_argument(std::string(option) + " needs a value");
    std::vector<int> counts;
    std::string_view rest(text);
    for (;;) {
        const auto comma = rest.find(',');
        counts.push_back(Count(option, std::string(rest.substr(0, comma)).c_str()));
        if (comma == std::string_view::npos) return counts;
        rest.remove_prefix(comma + 1);
    }
}

std::size_t Size(std::string_view option, const char* text) {
    return static_cast<std::size_t>(Number(option, text));
}

}  // namespace

const char* BenchOptions::Usage() {
    return "usage: restore-bench [--small] [--small-files N] [--small-size BYTES]\n"
           "                     [--large-files N] [--large-size BYTES] [--list-files N]\n"
           "                     [--gap-size BYTES] [--model-files N[,N]...] [--rounds N]\n"
           "                     [--dir PARENT] [--verbose]\n"
           "                     [--only small|large|listing|memory|paint|gap|model]...\n"
           "  Sizes take K, M or G. Defaults: 20000 files of 4K, 8 files of 128M,\n"
           "  40000 listed files, one 1G file for the event-pump gap, 5 rounds, in\n"
           "  $TMPDIR or /tmp. --small runs every case on tiny data.\n"
           "  model: --model-files files of --small-size restored on a model of a\n"
           "  clinic's PC (a USB 2.0 stick's pace, a virus scanner's waits; FUSE),\n"
           "  against reading them once from the stick and against cp -a + sync\n"
           "  there; default 2000 files, 3 rounds (--rounds sets both).\n";
}

BenchOptions BenchOptions::Parse(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option(argv[i]);
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (option == "--small") {
            options.smallFiles = 200;
            options.largeFiles = 2;
            options.largeSize = std::size_t{1} << 20;
            options.listFiles = 400;
            options.gapSize = std::size_t{8} << 20;
            options.modelFiles = {50};
            options.rounds = 1;
            options.modelRounds = 1;
            continue;
        }
        if (option == "--small-files") {
            options.smallFiles = Count(option, value);
        } else if (option == "--small-size") {
            options.smallSize = Size(option, value);
        } else if (option == "--large-files") {
            options.largeFiles = Count(option, value);
        } else if (option == "--large-size") {
            options.largeSize = Size(option, value);
        } else if (option == "--list-files") {
            options.listFiles = Count(option, value);
        } else if (option == "--gap-size") {
            options.gapSize = Size(option, value);
        } else if (option == "--model-files") {
            options.modelFiles = Counts(option, value);
        } else if (option == "--rounds") {
            options.rounds = Count(option, value);
            options.modelRounds = options.rounds;
        } else if (option == "--only") {
            static const std::set<std::string> kCases = {"small", "large", "listing", "memory",
                                                         "paint", "gap",   "model"};
            if (value == nullptr || kCases.count(value) == 0) {
                throw std::invalid_argument(
                    "--only needs one of small, large, listing, memory, "
                    "paint, gap, model");
            }
            options.only.insert(value);
        } else if (option == "--dir") {
            if (value == nullptr) throw std::invalid_argument("--dir needs a folder");
            options.parent = value;
        } else {
            throw std::invalid_argument("unknown argument: " + std::string(option));
        }
        ++i;
    }
    if (options.parent.empty()) options.parent = std::filesystem::temp_directory_path();
    return options;
}

}  // namespace velmira::bench
