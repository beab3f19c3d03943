#pragma once

#include <QString>

// Every setting of the main program. One instance lives for the whole process; other parts
// read and change its fields directly. Each field is a single 32-bit value, read and written
// whole, so worker threads may look at it without a lock.
struct SettingsRecord {
    // Windows form of the settings file, set by ensureSettingsPath().
    QString path;

    // Main camera and main window.
    int gain = 0;
    int exposure = 0;
    int gamma = 0;
    int bright = 0;
    int timRep = 0;
    int timMin = 0;
    int timSec = 0;
    int timInt = 0;
    int temp = 0;
    int file = 0;
    int lgain = 0;
    int lexposure = 0;
    int lgamma = 0;
    int starMin = 0;
    int starMax = 0;
    int testTime = 0;
    int playMin = 0;
    int playMax = 0;
    int darkO = 0;
    int bayer = 0;
    QString preDark; // file name of the master dark, e.g. "D00012.tif"
    QString preFlat; // file name of the master flat
    int preOpe = 0;
    int saveE = 0;
    int timeD = 0; // local time minus UTC in hours; the file holds it plus 24
    int slowC = 0;
    int slowW = 0;
    int capMode = 0;
    int lcEna = 0;
    int lcMod = 0;
    int lcNum = 0;
    int lcBse = 0;
    int saveRaw = 0;
    int filPat = 0;

    // Focuser.
    int eafPos = 0;
    int eafx100 = 0;
    int eafRev = 0;

    // Data drive, guide camera and guiding.
    int drive = 0; // character code of the data drive letter
    int ggain = 0;
    int gexposure = 0;
    int thresRa = 0;
    int thresDec = 0;
    int senceRa = 0;
    int senceDec = 0;
    int lcdBright = 0;
    int starGain = 0;
    int starLimit = 0; // the file holds it plus 100
    int dirRight = 0;
    int dirLeft = 0;
    int dirLower = 0;
    int dirUpper = 0;
    int guidePort = 0;
    int calStep = 0;
    int st4calNS = 0;
    int st4calWE = 0;
    int timeRep = 0;
    int timeExp = 0;
    int timeInt = 0;
    int dither = 0;
    int dithPix = 0;
    int ggamma = 0;
    int binning = 0;
    int movAveN = 0;
    int mirror = 0;
    int gbright = 0;
    int contrast = 0;
    int diff = 0;
    int modeRa = 0;
    int modeDec = 0;
    int center = 0;
    int centerX = 0;
    int centerY = 0;
    int stabC = 0;
    int stabR = 0;
    int gspeed = 0;
    int gpower = 0;
    int cenV = 0;
    int feild = 0;
    int circle = 0;
    int rect = 0;
    int image = 0;
    int fixTyp = 0;
    int decSign = 0;
    QString inpDat;

    // Sky chart, goto and camera geometry.
    int focal = 0;
    int colNo1 = 0, colNo2 = 0, colNo3 = 0, colNo4 = 0, colNo5 = 0, colNo6 = 0;
    int colLe1 = 0, colLe2 = 0, colLe3 = 0, colLe4 = 0, colLe5 = 0, colLe6 = 0;
    int allow = 0;
    int scroll = 0;
    int land = 0;
    int enaConstName = 0;
    int enaFamusStarName = 0;
    int enaAllStarName = 0;
    int enaMessie = 0;
    int enaFamusIc = 0;
    int enaAllIc = 0;
    int enaFamusNgc = 0;
    int enaAllNgc = 0;
    int enaMilky = 0;
    int decDir = 0;
    int _focal = 0; // focal length of the main telescope, mm
    int sencerWidth = 0;
    int sencerHeight = 0;
    int angle = 0;
    int pixSize = 0; // pixel size x 100
    int plateExp = 0;

    // Dark/flat batch.
    int totalDark = 0;
    int tdarkOpt1 = 0;
    int tdarkOpt2 = 0;
    int totalFlat = 0;
    int dfIn24h = 0;

    // Composite.
    int rt_rLevel = 0;
    int rt_gLevel = 0;
    int rt_bLevel = 0;
    int rt_lowX = 0;
    int rt_lowY = 0;
    int rt_highX = 0;
    int rt_highY = 0;
    int compCond = 0;

    // Others.
    int liveBright = 0;
    int digiFocal = 0;
    int digiAngle = 0;
    int digiCenLong = 0;
    int digiCenShort = 0;
    int digiOffRa = 0;
    int digiOffDec = 0;
    int raBase1000 = 0;  // goto base position, 1/1000 degree
    int decBase1000 = 0; // goto base position, 1/1000 degree
    int zorvanV2 = 0;
    int _3dfor = 0;
    int _3ddep = 0;
    int _3dstr = 0;
    int rotate = 0; // read from the file but never written back

    // Observing site, read from the polar-alignment program's file and never written here.
    int long1 = 0;
    int lati1 = 0;
    int longWE = 0;

    // Every field zero, then the defaults of the key table.
    void setDefaults();

    // The goto base position in degrees, as the goto window holds it.
    double raBaseDegrees() const { return raBase1000 / 1000.0; }
    double decBaseDegrees() const { return decBase1000 / 1000.0; }
    // Stores a base position given in degrees, truncated toward zero to 1/1000 degree.
    void setBaseDegrees(double raDegrees, double decDegrees);
};
