#include "ui/Formats.h"

#include <cmath>

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace tavlor {

namespace {

// Qt's long time format names the time zone, which a clock has not.
QString LongTimeFormat() {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression("\\s*t+\\s*"));
    return format.trimmed().isEmpty() ? QString("HH:mm:ss") : format.trimmed();
}

}  // namespace

QString FormatTimeOfDay(TDateTime days) {
    static const QString format = LongTimeFormat();
    const double fraction = days - std::floor(days);
    const int milliseconds = static_cast<int>(std::llround(fraction * 86400000.0)) % 86400000;
    return QTime(0, 0).addMSecs(milliseconds).toString(format);
}

}  // namespace tavlor
