#include "DisplayJson.h"

#include <QJsonValue>
#include <QStringList>
#include <iterator>

namespace {

// The display combo box's items, in the order of their indices.
const char* const kModeNames[] = {"Vectors", "Velocity", "Vortex", "Dye"};
constexpr int kModeCount = static_cast<int>(std::size(kModeNames));

// The panel's ranges: 8-bit sliders for the hues, the saturation and the lightness limit; the
// Over slider to 100; the coefficient slider in hundredths, up to 1000.
constexpr int kMaxByte = 255;
constexpr int kMaxLimitOver = 100;
constexpr float kMaxCoeffLin = 10.0f;
// Version 1 files may hold the logarithmic coefficient and flag, which nothing ever read: they
// are checked as numbers and a flag, and then ignored.
constexpr float kMaxCoeffLog = 0.99f;

}  // namespace

QJsonObject DisplayJson::write(const DisplaySettings& d) {
    const int index = static_cast<int>(d.mode);
    const int mode = index >= 0 && index < kModeCount ? index : 0;
    return QJsonObject{{"mode", QLatin1String(kModeNames[mode])},
                       {"hueA", d.hueA},
                       {"hueB", d.hueB},
                       {"saturation", d.saturation},
                       {"coeffLin", JsonReader::floatValue(d.coeffLin)},
                       {"limitLight", d.limitLight},
                       {"limitOver", d.limitOver},
                       {"over", d.isOver},
                       {"positive", d.isPositive}};
}

void DisplayJson::read(JsonReader in, DisplaySettings& d) {
    const QStringList logarithmic = {"coeffLog", "log"};
    in.expectKeys({"mode", "hueA", "hueB", "saturation", "coeffLin", "limitLight", "limitOver",
                   "over", "positive"},
                  in.fileVersion() == 1 ? logarithmic : QStringList());
    const QString mode = in.text("mode");
    DisplaySettings read;
    int modeIndex = -1;
    for (int m = 0; m < kModeCount; ++m) {
        if (mode == QLatin1String(kModeNames[m])) {
            modeIndex = m;
        }
    }
    read.mode = static_cast<DisplayMode>(modeIndex);
    if (!in.failed() && modeIndex < 0) {
        in.fail(QStringLiteral("The display mode \"%1\" is not one of Vectors, Velocity, Vortex "
                               "and Dye.")
                    .arg(mode.left(40)));
    }
    read.hueA = static_cast<std::uint8_t>(in.whole("hueA", 0, kMaxByte));
    read.hueB = static_cast<std::uint8_t>(in.whole("hueB", 0, kMaxByte));
    read.saturation = static_cast<std::uint8_t>(in.whole("saturation", 0, kMaxByte));
    read.coeffLin = in.number("coeffLin", 0.0f, kMaxCoeffLin);
    read.limitLight = static_cast<std::uint8_t>(in.whole("limitLight", 0, kMaxByte));
    read.limitOver = static_cast<std::uint8_t>(in.whole("limitOver", 0, kMaxLimitOver));
    read.isOver = in.flag("over");
    read.isPositive = in.flag("positive");
    if (in.has("coeffLog")) {
        in.number("coeffLog", 0.0f, kMaxCoeffLog);
    }
    if (in.has("log")) {
        in.flag("log");
    }
    if (!in.failed()) {
        d = read;
    }
}
