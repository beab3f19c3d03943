#pragma once

class ChartCanvas;
class ChartHits;
class ChartProjection;
class ChartSky;
struct ChartLayers;

// Draws the sky's layers in their order: the Milky Way, constellation lines, stars,
// constellation names, star names, Messier objects, NGC and IC objects. What is drawn where a
// finger can pick it goes into `hits` when given.
void drawSky(ChartCanvas& canvas, const ChartProjection& projection, const ChartSky& sky,
             const ChartLayers& layers, ChartHits* hits);
