#include "FirstMagnitudeStars.h"

#include <iterator>

namespace {

// Right ascension in hours and decimal minutes, declination in degrees and minutes with
// the sign on the degrees.
struct Star {
    const char* text;
    int raHours;
    double raMinutes;
    int decDegrees;
    int decMinutes;
};

const Star stars[] = {
    {"しし座　レグルス", 10, 8.4, 11, 58},
    {"おとめ座　スピカ", 13, 25.2, -11, 10},
    {"うしかい座 アークトゥルス", 14, 15.7, 19, 11},
    {"さそり座　アンタレス", 16, 29.4, -26, 26},
    {"こと座 ベガ", 18, 36.9, 38, 47},
    {"わし座 アルタイル", 19, 50.8, 8, 52},
    {"はくちょう座 デネブ", 20, 41.4, 45, 17},
    {"みなみのうお座　フォーマルハウト", 22, 57.6, -29, 37},
    {"ぎょしゃ座 カペラ", 5, 16.7, 46, 0},
    {"おうし座 アルデバラン", 4, 35.9, 16, 31},
    {"オリオン座 リゲル", 5, 14.5, -8, 12},
    {"オリオン座 ベテルギウス", 5, 55.2, 7, 24},
    {"おおいぬ座 シリウス", 6, 45.1, -16, 43},
    {"こいぬ座 プロキオン", 7, 39.3, 5, 14},
    {"ふたご座 ポルックス", 7, 45.3, 28, 2},
    {"りゅうこつ座 カノープス", 6, 24.0, -52, 42},
    {"ケンタウルス　α", 14, 39.6, -60, 50},
    {"ケンタウルス　β", 14, 3.8, -60, 22},
    {"エリダヌス座 アケルナー", 1, 37.7, -57, 14},
    {"みなみじゅうじ座 α", 12, 26.6, -63, 6},
    {"みなみじゅうじ座 β", 12, 47.7, -59, 41},
};

bool inTable(int row) {
    return row >= 0 && row < FirstMagnitudeStars::count();
}

} // namespace

int FirstMagnitudeStars::count() {
    return int(std::size(stars));
}

QString FirstMagnitudeStars::buttonText(int row) {
    return inTable(row) ? QString::fromUtf8(stars[row].text) : QString();
}

SkyPosition FirstMagnitudeStars::position(int row) {
    if (!inTable(row))
        return {};
    const Star& star = stars[row];
    const double minutes = star.decMinutes / 60.0;
    return {star.raHours * 15 + star.raMinutes * 15 / 60,
            star.decDegrees < 0 ? star.decDegrees - minutes : star.decDegrees + minutes};
}
