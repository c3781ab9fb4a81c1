#include "DisplayJson.h"

#include <QJsonValue>
#include <QStringList>
#include <iterator>

namespace {

// The display combo box's items, in the order of their indices.
const char* const kModeNames[] = {"Vectors", "Velocity", "Vortex", "Dye"};
constexpr int kModeCount = static_cast<int>(std::size(kModeNames));

// The panel's ranges: 8-bit sliders for the hues, the saturation and the lightness limit; the
// Over slider to 100; the coefficient sliders in hundredths, A up to 1000 and L to 99.
constexpr int kMaxByte = 255;
constexpr int kMaxLimitOver = 100;
constexpr float kMaxCoeffLin = 10.0f;
constexpr float kMaxCoeffLog = 0.99f;

}  // namespace

QJsonObject DisplayJson::write(const DisplaySettings& d) {
    const int mode = d.mode >= 0 && d.mode < kModeCount ? d.mode : 0;
    return QJsonObject{{"mode", QLatin1String(kModeNames[mode])},
                       {"hueA", d.hueA},
                       {"hueB", d.hueB},
                       {"saturation", d.saturation},
                       {"coeffLin", JsonReader::floatValue(d.coeffLin)},
                       {"coeffLog", JsonReader::floatValue(d.coeffLog)},
                       {"limitLight", d.limitLight},
                       {"limitOver", d.limitOver},
                       {"over", d.isOver},
                       {"log", d.isLog},
                       {"positive", d.isPositive}};
}

void DisplayJson::read(JsonReader in, DisplaySettings& d) {
    in.expectKeys({"mode", "hueA", "hueB", "saturation", "coeffLin", "coeffLog", "limitLight",
                   "limitOver", "over", "log", "positive"});
    const QString mode = in.text("mode");
    DisplaySettings read;
    read.mode = -1;
    for (int m = 0; m < kModeCount; ++m) {
        if (mode == QLatin1String(kModeNames[m])) {
            read.mode = m;
        }
    }
    if (!in.failed() && read.mode < 0) {
        in.fail(QStringLiteral("The display mode \"%1\" is not one of Vectors, Velocity, Vortex "
                               "and Dye.")
                    .arg(mode.left(40)));
    }
    read.hueA = static_cast<std::uint8_t>(in.whole("hueA", 0, kMaxByte));
    read.hueB = static_cast<std::uint8_t>(in.whole("hueB", 0, kMaxByte));
    read.saturation = static_cast<std::uint8_t>(in.whole("saturation", 0, kMaxByte));
    read.coeffLin = in.number("coeffLin", 0.0f, kMaxCoeffLin);
    read.coeffLog = in.number("coeffLog", 0.0f, kMaxCoeffLog);
    read.limitLight = static_cast<std::uint8_t>(in.whole("limitLight", 0, kMaxByte));
    read.limitOver = static_cast<std::uint8_t>(in.whole("limitOver", 0, kMaxLimitOver));
    read.isOver = in.flag("over");
    read.isLog = in.flag("log");
    read.isPositive = in.flag("positive");
    if (!in.failed()) {
        d = read;
    }
}
