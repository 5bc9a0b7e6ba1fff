#include "ui/ProfileReport.h"

#include "engine/Profiler.h"

namespace tavlor {

QString ProfileReport() {
    return QString::fromStdString(ProfileText());
}

}  // namespace tavlor
