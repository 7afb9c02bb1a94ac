#include "restore/JobRules.h"

#include <array>

#include "platform/TextCodec.h"

namespace velmira {

namespace {

struct JobRow {
    const char* backupFolder;
    const char* destinationFolder;  // nullptr: routed by suffix
    int lister;
    std::string caption;
};

const JobRow& RowOf(RestoreJob job) {
    static const std::array<JobRow, 3> rows{{
        {"BackUp", nullptr, 0, "カルテデータを復元中････"},
        {"BackUp2", "cb", 1, "治療簿データを復元中････"},
        {"BackUp2", "kdata", 1, "検案書データを復元中････"},
    }};
    return rows.at(static_cast<std::size_t>(job));
}

struct SuffixRoute {
    std::u16string_view key;
    const char* folder;
};

constexpr std::array<SuffixRoute, 3> kSuffixRoutes{{
    {u"sxd", "H15"},
    {u"ini", "set"},
    {u"hxd", "set"},
}};

// The last three UTF-16 code units of the name, or the whole name when
// shorter. Not an extension: no dot is looked for, and case counts.
const char* ChartFolderOf(const std::filesystem::path& fileName) {
    const std::u16string name = NativeNameToUtf16(fileName);
    const std::u16string_view key =
        std::u16string_view(name).substr(name.size() < 3 ? 0 : name.size() - 3);
    for (const auto& route : kSuffixRoutes) {
        if (route.key == key) return route.folder;
    }
    return nullptr;
}

DrivePath ChartSystemFolder(const char* folder) {
    return DrivePath{kChartSystemDrive, {"Velmira", folder}, {}};
}

}  // namespace

RestoreJob SelectJob(SiteRegion region, bool option0Selected) {
    switch (region) {
        case SiteRegion::Ibaraki:
            return option0Selected ? RestoreJob::TreatmentBookJob : RestoreJob::ChartJob;
        case SiteRegion::Tottori:
            return option0Selected ? RestoreJob::ChartJob : RestoreJob::CertificateJob;
        case SiteRegion::Other:
            break;
    }
    return RestoreJob::ChartJob;
}

DrivePath ListingFolder(RestoreJob job, char driveLetter) {
    return DrivePath{driveLetter, {RowOf(job).backupFolder}, {}};
}

DrivePath SourcePath(RestoreJob job, char driveLetter, const std::filesystem::path& fileName) {
    return ListingFolder(job, driveLetter).WithFile(fileName);
}

std::optional<DrivePath> DestinationPath(RestoreJob job, const std::filesystem::path& fileName) {
    const char* folder = RowOf(job).destinationFolder;
    if (folder == nullptr) folder = ChartFolderOf(fileName);
    if (folder == nullptr) return std::nullopt;
    return ChartSystemFolder(folder).WithFile(fileName);
}

const std::string& JobCaption(RestoreJob job) {
    return RowOf(job).caption;
}

int JobLister(RestoreJob job) {
    return RowOf(job).lister;
}

}  // namespace velmira
