#include <libmount.h>
#include <sys/sysmacros.h>

#include <memory>

#include "drives/MountTable.h"
#include "platform/OsError.h"

namespace velmira {

namespace {

struct TableRelease {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IterRelease {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};

std::string Text(const char* text) {
    return text ? text : "";
}

}  // namespace

std::vector<MountEntry> ReadMountTable(const std::filesystem::path& mountInfo) {
    const std::unique_ptr<libmnt_table, TableRelease> table(mnt_new_table());
    const std::unique_ptr<libmnt_iter, IterRelease> iter(mnt_new_iter(MNT_ITER_FORWARD));
    if (!table || !iter) throw ErrorFromOs(ENOMEM, mountInfo.string());

    // libmount decodes the octal escapes of mount points (a space is \040).
    const int rc = mnt_table_parse_mtab(table.get(), mountInfo.c_str());
    if (rc < 0) throw ErrorFromOs(-rc, mountInfo.string());

    std::vector<MountEntry> entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        const dev_t devno = mnt_fs_get_devno(fs);
        MountEntry entry;
        entry.devMajor = major(devno);
        entry.devMinor = minor(devno);
        entry.fsRoot = Text(mnt_fs_get_root(fs));
        entry.target = Text(mnt_fs_get_target(fs));
        entry.source = Text(mnt_fs_get_source(fs));
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace velmira
