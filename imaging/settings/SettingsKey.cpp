#include "SettingsKey.h"

namespace {

constexpr int length(const char* s) {
    return *s ? 1 + length(s + 1) : 0;
}

using S = SettingsRecord;
using K = SettingsKey;

// The key is spelled once, as the field name, so key and field cannot drift apart.
#define NUMBER(key, lo, hi, def)                                                                   \
    { #key, &S::key, nullptr, lo, hi, def, K::ReadWrite, 0, length(#key) }
#define OFFSET(key, lo, hi, def, offset)                                                           \
    { #key, &S::key, nullptr, lo, hi, def, K::ReadWrite, offset, length(#key) }
#define WRITTEN(key, def)                                                                          \
    { #key, &S::key, nullptr, def, def, def, K::WriteOnly, 0, length(#key) }
#define READ_ONLY(key, lo, hi, def)                                                                \
    { #key, &S::key, nullptr, lo, hi, def, K::ReadOnly, 0, length(#key) }
#define TEXT(key, use)                                                                             \
    { #key, nullptr, &S::key, 0, 0, 0, use, 0, length(#key) }

} // namespace

const QVector<SettingsKey>& SettingsKey::settingsFileKeys() {
    static const QVector<SettingsKey> keys = {
        NUMBER(gain, 0, 25, 11),
        NUMBER(exposure, 0, 13, 3),
        NUMBER(gamma, 0, 10, 5),
        NUMBER(bright, 0, 10, 5),
        NUMBER(timRep, 0, 99, 10), // 0 takes one frame, as the window allows
        NUMBER(timMin, 0, 99, 2),
        NUMBER(timSec, 0, 59, 0),
        NUMBER(timInt, 0, 99, 10), // 0: no wait between frames
        NUMBER(temp, -99, 99, -10),
        NUMBER(file, 0, 999999, 0),
        NUMBER(lgain, 0, 25, 20),
        NUMBER(lexposure, 0, 13, 8),
        NUMBER(lgamma, 0, 10, 6),
        WRITTEN(starMin, 1),
        WRITTEN(starMax, 100),
        WRITTEN(testTime, 30),
        WRITTEN(playMin, 1),
        WRITTEN(playMax, 100),
        WRITTEN(darkO, 0),
        WRITTEN(bayer, 0),
        TEXT(preDark, K::ReadWrite),
        TEXT(preFlat, K::ReadWrite),
        NUMBER(preOpe, 0, 3, 0),
        NUMBER(saveE, 0, 1, 0),
        OFFSET(timeD, -24, 24, 9, 24),
        NUMBER(slowC, 0, 100, 0),
        NUMBER(slowW, 0, 100, 0),
        NUMBER(capMode, 0, 1, 0),
        NUMBER(lcEna, 0, 1, 0),
        NUMBER(lcMod, 0, 3, 0),
        NUMBER(lcNum, 0, 1000, 4),
        NUMBER(lcBse, 0, 1, 0),
        NUMBER(saveRaw, 0, 1, 1),
        NUMBER(filPat, 0, 10, 0),
        NUMBER(eafPos, 0, 4, 0),
        NUMBER(eafx100, 0, 1, 0),
        NUMBER(eafRev, 0, 1, 0),
        NUMBER(drive, 0, 100, 67),
        NUMBER(ggain, 0, 25, 25),
        NUMBER(gexposure, 0, 13, 8),
        NUMBER(thresRa, 0, 10, 2),
        NUMBER(thresDec, 0, 10, 2),
        NUMBER(senceRa, 0, 399, 80),
        NUMBER(senceDec, 0, 399, 80),
        NUMBER(lcdBright, 1, 10, 5),
        NUMBER(starGain, 1, 9, 1),
        OFFSET(starLimit, -100, 100, 0, 100),
        NUMBER(dirRight, 0, 256, 69),
        NUMBER(dirLeft, 0, 256, 69),
        NUMBER(dirLower, 0, 256, 69),
        NUMBER(dirUpper, 0, 256, 69),
        NUMBER(guidePort, 0, 2, 0),
        NUMBER(calStep, 1, 9999, 1000),
        NUMBER(st4calNS, 1, 9999, 30),
        NUMBER(st4calWE, 1, 9999, 30),
        NUMBER(timeRep, 1, 99, 10),
        NUMBER(timeExp, 10, 9999, 300),
        NUMBER(timeInt, 0, 999, 10),
        NUMBER(dither, 0, 1, 0),
        NUMBER(dithPix, 1, 99, 4),
        NUMBER(ggamma, 0, 10, 5),
        NUMBER(binning, 0, 1, 0),
        NUMBER(movAveN, 1, 99, 5),
        NUMBER(mirror, 0, 20, 0),
        NUMBER(gbright, 0, 10, 5),
        NUMBER(contrast, 0, 9, 3),
        NUMBER(diff, 0, 10, 10), // the loader sets it to 5 afterwards
        NUMBER(modeRa, 0, 2, 0),
        NUMBER(modeDec, 0, 2, 0),
        NUMBER(center, 0, 2, 0),
        NUMBER(centerX, 0, 639, 320),
        NUMBER(centerY, 0, 479, 240),
        NUMBER(stabC, 1, 99, 5),
        NUMBER(stabR, 1, 99, 5),
        NUMBER(gspeed, 0, 10, 1),
        NUMBER(gpower, 0, 8, 4),
        NUMBER(cenV, 0, 50, 10),
        NUMBER(feild, 0, 1, 1),
        NUMBER(circle, 1, 999, 30),
        WRITTEN(rect, 300),
        WRITTEN(image, 2),
        WRITTEN(fixTyp, 0),
        WRITTEN(decSign, 0),
        TEXT(inpDat, K::WriteOnly),
        NUMBER(focal, 0, 9999, 800),
        NUMBER(colNo1, 0, 6, 6),
        NUMBER(colLe1, 0, 10, 4),
        NUMBER(colNo2, 0, 6, 0),
        NUMBER(colLe2, 0, 10, 4),
        NUMBER(colNo3, 0, 6, 1),
        NUMBER(colLe3, 0, 10, 4),
        NUMBER(colNo4, 0, 6, 0),
        NUMBER(colLe4, 0, 10, 6),
        NUMBER(colNo5, 0, 6, 2),
        NUMBER(colLe5, 0, 10, 6),
        NUMBER(colNo6, 0, 6, 3),
        NUMBER(colLe6, 0, 10, 6),
        NUMBER(allow, 0, 99, 5),
        NUMBER(scroll, 0, 1, 0),
        NUMBER(land, 0, 1, 1),
        NUMBER(enaConstName, 0, 1, 1),
        NUMBER(enaFamusStarName, 0, 1, 1),
        NUMBER(enaAllStarName, 0, 1, 0),
        NUMBER(enaMessie, 0, 1, 1),
        NUMBER(enaFamusIc, 0, 1, 1),
        NUMBER(enaAllIc, 0, 1, 0),
        // Recognised by its first ten characters, as files in the field were written.
        {"enaFamusNgc", &S::enaFamusNgc, nullptr, 0, 1, 1, K::ReadWrite, 0, 10},
        NUMBER(enaAllNgc, 0, 1, 0),
        NUMBER(enaMilky, 0, 1, 1),
        NUMBER(decDir, 0, 1, 0),
        NUMBER(_focal, 1, 10000, 400),
        NUMBER(sencerWidth, 1, 10000, 3590),
        NUMBER(sencerHeight, 1, 10000, 2400),
        NUMBER(angle, 0, 2, 0),
        NUMBER(pixSize, 0, 10000, 0),
        NUMBER(plateExp, 1, 99, 10),
        NUMBER(totalDark, 0, 1, 0),
        NUMBER(tdarkOpt1, 0, 1, 0),
        NUMBER(tdarkOpt2, 0, 1, 0),
        NUMBER(totalFlat, 0, 1, 0),
        NUMBER(dfIn24h, 0, 1, 0),
        NUMBER(rt_rLevel, 0, 99, 50),
        NUMBER(rt_gLevel, 0, 99, 50),
        NUMBER(rt_bLevel, 0, 99, 50),
        NUMBER(rt_lowX, 0, 255, 0),
        NUMBER(rt_lowY, 0, 255, 0),
        NUMBER(rt_highX, 0, 255, 255),
        NUMBER(rt_highY, 0, 255, 255),
        NUMBER(compCond, 0, 2, 1),
        NUMBER(liveBright, 0, 255, 0),
        NUMBER(digiFocal, 0, 10000, 300),
        NUMBER(digiAngle, 0, 1, 0),
        NUMBER(digiCenLong, 0, 1000, 360),
        NUMBER(digiCenShort, 0, 1000, 240),
        NUMBER(digiOffRa, -360000, 360000, 0),
        NUMBER(digiOffDec, -90000, 90000, 0),
        NUMBER(raBase1000, -360000, 360000, 0),
        NUMBER(decBase1000, -90000, 90000, 0),
        NUMBER(zorvanV2, 0, 1, 0),
        NUMBER(_3dfor, 0, 2, 0),
        NUMBER(_3ddep, 0, 2, 0),
        NUMBER(_3dstr, 0, 2, 0),
        READ_ONLY(rotate, 0, 1, 0),
    };
    return keys;
}

const QVector<SettingsKey>& SettingsKey::axiloFileKeys() {
    static const QVector<SettingsKey> keys = {
        READ_ONLY(long1, 0, 359, 139),
        READ_ONLY(lati1, 0, 89, 38),
        READ_ONLY(longWE, 0, 1, 0),
        // The polar-alignment program keeps the plain UTC offset, without the +24.
        {"time", &S::timeD, nullptr, -24, 24, 9, K::ReadOnly, 0, 4},
    };
    return keys;
}
