#include "bench/restore/LoopMount.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "bench/restore/ChildProcess.h"

namespace velmira::bench {

namespace fs = std::filesystem;

LoopMount::LoopMount(const fs::path& parent, std::uintmax_t size) {
    if (::geteuid() != 0) throw std::runtime_error("mounting needs root");
    std::string pattern = (parent / "velmira-image-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp in " + parent.string());
    }
    folder_ = pattern;
    image_ = folder_ / "ext4.img";
    mounted_ = folder_ / "mnt";
    try {
        fs::create_directory(mounted_);
        std::ofstream(image_).close();
        fs::resize_file(image_, size);
        ChildProcess::RunChecked({"mkfs.ext4", "-q", "-F", image_.string()});
        ChildProcess::RunChecked({"mount", "-o", "loop", image_.string(), mounted_.string()});
        isMounted_ = true;
    } catch (...) {
        Remove();
        throw;
    }
}

LoopMount::~LoopMount() {
    Remove();
}

void LoopMount::Remove() noexcept {
    try {
        if (isMounted_) ChildProcess::Run({"umount", mounted_.string()});
    } catch (...) {
    }
    std::error_code ignored;
    fs::remove(image_, ignored);
    fs::remove(mounted_, ignored);
    fs::remove(folder_, ignored);
}

}  // namespace velmira::bench
