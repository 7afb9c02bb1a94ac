#include "drives/RemovableDriveList.h"

namespace velmira {

void RemovableDriveList(DriveLetterSink& sink, DriveSource& source) {
    sink.Clear();
    // A removable A is the floppy drive, never a backup medium; B is listed.
    source.ForEachDrive([&sink](const DriveEntry& drive) {
        if (drive.type == DriveType::Removable && drive.letter != 'A') {
            sink.Append(std::string(1, drive.letter));
        }
    });
}

}  // namespace velmira
