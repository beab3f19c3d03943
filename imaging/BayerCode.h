#pragma once

// OpenCV's demosaic conversion for the suite's Bayer code (0 BG, 1 RG, 2 GB, 3 GR), the one
// table that the display, the file writer and the correction share. An unknown code is read
// as BG, so a damaged file still shows.
int bayerConversionCode(int bayer);
