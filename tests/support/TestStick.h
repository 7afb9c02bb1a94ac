#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace velmira::testing {

// An ageing backup stick (the test-stick program, named by the environment's
// VELMIRA_TEST_STICK) mounted over `mountpoint` for the object's life,
// serving `source` read-only with one of its rules. Where the machine cannot
// mount it (no /dev/fuse), the test fails with the reason. Unmounted lazily
// when the object goes, also when the stick vanished or the test failed.
// Under Wine the paths are Windows paths and the commands run on the Linux
// side of the prefix.
class TestStick {
  public:
    TestStick(const std::filesystem::path& source, const std::filesystem::path& mountpoint,
              const std::string& rule);
    ~TestStick();
    TestStick(const TestStick&) = delete;
    TestStick& operator=(const TestStick&) = delete;

    bool Mounted() const { return !mountpoint_.empty(); }

  private:
    std::string mountpoint_;  // a Linux path
};

// A chart restore of kChartFiles files of 4 KiB from a stick whose
// K00150.sxd or root fails as one of these says, and how the run must end: a
// stick that is gone is told as one without a medium.
inline constexpr int kChartFiles = 300;
enum class Ending { Finished, Failed, NoMedium };
struct StickCase {
    const char* name;
    const char* rule;
    Ending ending;
};
inline constexpr StickCase kStickCases[] = {
    {"a read stalls 6 s, then returns its data", "stall:6000:BackUp/K00150.sxd", Ending::Finished},
    {"a read stalls, then fails", "fail:1000:BackUp/K00150.sxd", Ending::Failed},
    {"the stick is pulled at a read", "vanish:1000:BackUp/K00150.sxd", Ending::NoMedium},
    {"the stick's root stalls 6 s as the restore starts", "rootstall:6000", Ending::Finished},
};
// The longest the window may go without answering, stall or not.
inline constexpr std::chrono::milliseconds kLongestGap{100};

// The stick's BackUp folder under `source`, each of its files in `chartFolder`
// with old content.
void WriteChartBackup(const std::filesystem::path& source,
                      const std::filesystem::path& chartFolder);
// The chart folder as the run must leave it: every file new when it
// finished, else those before K00150.sxd new and it and the rest old;
// nothing else in the folder.
void ExpectChartFolder(const std::filesystem::path& chartFolder, bool finished);

}  // namespace velmira::testing
