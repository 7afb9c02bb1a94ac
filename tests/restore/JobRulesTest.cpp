#include <gtest/gtest.h>

#include "restore/JobRules.h"

namespace velmira {
namespace {

std::string Destination(RestoreJob job, const std::filesystem::path& name) {
    const auto path = DestinationPath(job, name);
    return path ? path->Display() : "(skipped)";
}

TEST(JobRules, SelectsTheJobByRegionAndOption) {
    EXPECT_EQ(SelectJob(SiteRegion::Ibaraki, true), RestoreJob::TreatmentBookJob);
    EXPECT_EQ(SelectJob(SiteRegion::Ibaraki, false), RestoreJob::ChartJob);
    EXPECT_EQ(SelectJob(SiteRegion::Tottori, true), RestoreJob::ChartJob);
    EXPECT_EQ(SelectJob(SiteRegion::Tottori, false), RestoreJob::CertificateJob);
    EXPECT_EQ(SelectJob(SiteRegion::Other, true), RestoreJob::ChartJob);
    EXPECT_EQ(SelectJob(SiteRegion::Other, false), RestoreJob::ChartJob);
}

TEST(JobRules, FoldersListersAndCaptions) {
    EXPECT_EQ(ListingFolder(RestoreJob::ChartJob, 'F').Display(), "F:\\BackUp");
    EXPECT_EQ(ListingFolder(RestoreJob::TreatmentBookJob, 'F').Display(), "F:\\BackUp2");
    EXPECT_EQ(ListingFolder(RestoreJob::CertificateJob, 'H').Display(), "H:\\BackUp2");
    EXPECT_EQ(SourcePath(RestoreJob::ChartJob, 'E', "K0001.sxd").Display(),
              "E:\\BackUp\\K0001.sxd");
    EXPECT_EQ(JobLister(RestoreJob::ChartJob), 0);
    EXPECT_EQ(JobLister(RestoreJob::TreatmentBookJob), 1);
    EXPECT_EQ(JobLister(RestoreJob::CertificateJob), 1);
    EXPECT_EQ(JobCaption(RestoreJob::ChartJob), "カルテデータを復元中････");
    EXPECT_EQ(JobCaption(RestoreJob::TreatmentBookJob), "治療簿データを復元中････");
    EXPECT_EQ(JobCaption(RestoreJob::CertificateJob), "検案書データを復元中････");
}

TEST(JobRules, RoutesChartFilesByTheirLastThreeCharacters) {
    const auto chart = RestoreJob::ChartJob;
    EXPECT_EQ(Destination(chart, "K0001.sxd"), "C:\\Velmira\\H15\\K0001.sxd");
    EXPECT_EQ(Destination(chart, "base.ini"), "C:\\Velmira\\set\\base.ini");
    EXPECT_EQ(Destination(chart, "tmpl.hxd"), "C:\\Velmira\\set\\tmpl.hxd");
    EXPECT_EQ(Destination(chart, "ini"), "C:\\Velmira\\set\\ini");
    EXPECT_EQ(Destination(chart, "Ksxd"), "C:\\Velmira\\H15\\Ksxd");  // no dot needed
    EXPECT_EQ(Destination(chart, u8"カルテsxd"), "C:\\Velmira\\H15\\カルテsxd");
    EXPECT_EQ(Destination(chart, "readme.txt"), "(skipped)");
    EXPECT_EQ(Destination(chart, "BASE.INI"), "(skipped)");
    EXPECT_EQ(Destination(chart, "K.SXD"), "(skipped)");
    EXPECT_EQ(Destination(chart, "xd"), "(skipped)");
    EXPECT_EQ(Destination(chart, "a.sxd "), "(skipped)");
}

TEST(JobRules, Backup2JobsTakeEveryNameToOneFolder) {
    EXPECT_EQ(Destination(RestoreJob::TreatmentBookJob, "readme.txt"),
              "C:\\Velmira\\cb\\readme.txt");
    EXPECT_EQ(Destination(RestoreJob::CertificateJob, "K0001.sxd"),
              "C:\\Velmira\\kdata\\K0001.sxd");
}

}  // namespace
}  // namespace velmira
