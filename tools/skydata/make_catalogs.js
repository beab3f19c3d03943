// Turns d3-celestial's sky data into the program's catalogue files.
// Usage: node make_catalogs.js <d3-celestial data folder> <output folder>
//
// Every real field carries a decimal point and every field is followed by one separator, and
// no line is longer than the program's line buffer, as the loader requires.
'use strict';
const fs = require('fs');
const path = require('path');

const [source, output] = process.argv.slice(2);
const read = (name) => JSON.parse(fs.readFileSync(path.join(source, name), 'utf8'));

// Line buffers of the loader: a line (with its line feed) must fit in one less byte.
const bufferSize = {
  'consteNamePosData.txt': 79, 'hipNameData.txt': 79, 'hipStarNameData.txt': 79,
  'ngcLib.txt': 99, 'icLib.txt.txt': 99,
};

function write(name, lines) {
  const limit = (bufferSize[name] || 49) - 1;
  for (const line of lines) {
    if (Buffer.byteLength(line) + 1 > limit) throw new Error(`${name}: line too long: ${line}`);
  }
  fs.writeFileSync(path.join(output, name), lines.map((l) => l + '\n').join(''));
  console.log(`${name}: ${lines.length} lines`);
}

// GeoJSON longitude (-180..180) to right ascension (0..360), rounded to `digits`.
function raText(lon, digits) {
  let text = (lon < 0 ? lon + 360 : lon).toFixed(digits);
  if (Number(text) >= 360) text = (0).toFixed(digits);
  return text;
}
const decText = (lat, digits) => lat.toFixed(digits);

// Stars brighter than magnitude 9.0, with B-V where the source has it.
const stars = read('stars.14.json').features
  .filter((f) => f.properties.mag < 9.0)
  .sort((a, b) => a.id - b.id);
const starByHip = new Map(read('stars.14.json').features.map((f) => [f.id, f]));
write('starData2.txt', stars.map((f) => {
  const [lon, lat] = f.geometry.coordinates;
  const bv = f.properties.bv === '' || f.properties.bv == null ? -1000 : Number(f.properties.bv);
  return `${f.id},${raText(lon, 5)},${decText(lat, 5)},${f.properties.mag.toFixed(2)},${bv.toFixed(3)},`;
}));

// Constellation line segments.
const segments = [];
for (const feature of read('constellations.lines.json').features) {
  for (const line of feature.geometry.coordinates) {
    for (let i = 1; i < line.length; ++i) {
      const [a, b] = [line[i - 1], line[i]];
      segments.push(`${raText(a[0], 4)},${decText(a[1], 4)},${raText(b[0], 4)},${decText(b[1], 4)},`);
    }
  }
}
write('hipConsteLineData.txt', segments);

// Constellation names at their label positions: the Japanese name, then the Latin one.
write('consteNamePosData.txt', read('constellations.json').features.map((f) => {
  const [lon, lat] = f.geometry.coordinates;
  return `${raText(lon, 3)},${decText(lat, 3)},${f.properties.ja},${f.properties.name}`;
}));

// Named stars, by their Japanese name where the source has one, else the proper name.
const names = read('starnames.json');
const named = Object.keys(names)
  .map(Number)
  .filter((hip) => names[hip].name && starByHip.has(hip))
  .sort((a, b) => a - b);
write('hipNameData.txt', named.map((hip) => `${hip},${names[hip].ja || names[hip].name}`));
write('hipStarNameData.txt', named.map((hip) => {
  const [lon, lat] = starByHip.get(hip).geometry.coordinates;
  return `${raText(lon, 5)},${decText(lat, 5)},`;
}));

// Messier, NGC and IC: line n holds object n; an object missing from the source is an empty
// line, which the loader marks absent.
const messier = read('messier.json').features;
const positions = new Map();
for (const f of read('dsos.20.json').features) positions.set(f.id, f.geometry.coordinates);
for (const f of messier) {
  // Objects listed under their Messier number in the DSO file ("NGC 6523" is "M 8").
  const desig = f.properties.desig.split('/')[0];
  if (/^(NGC|IC) \d+$/.test(desig) && !positions.has(desig)) positions.set(desig, f.geometry.coordinates);
}
function numbered(count, position) {
  const lines = [];
  for (let n = 1; n <= count; ++n) {
    const p = position(n);
    lines.push(p ? `${raText(p[0], 4)},${decText(p[1], 4)},` : '');
  }
  return lines;
}
const messierByNumber = new Map(messier.map((f) => [Number(f.id.slice(1)), f.geometry.coordinates]));
write('messierData.txt', numbered(110, (n) => messierByNumber.get(n)));
write('ngcData.txt', numbered(7840, (n) => positions.get(`NGC ${n}`)));
write('icData.txt', numbered(5386, (n) => positions.get(`IC ${n}`)));

// The simulated sky's deep-sky light: for each Messier, NGC and IC object of the files above
// that is a nebula or a galaxy with a magnitude and a size, "<M|N|I><number>,<type>,<magnitude>,
// <major axis>,<minor axis>," with the axes in arcminutes (a single size is a round object).
// The source gives no position angles.
const extendedTypes = new Set(['bn', 'en', 'rn', 'pn', 'snr', 's', 's0', 'e', 'i', 'g']);
const catalogueKey = { M: 'M', NGC: 'N', IC: 'I' };
const deepSky = [];
for (const f of read('dsos.20.json').features) {
  const [prefix, number] = f.id.split(' ');
  const { type, mag, dim } = f.properties;
  const axes = String(dim).split('x').map(Number);
  if (!catalogueKey[prefix] || !/^\d+$/.test(number) || !extendedTypes.has(type)) continue;
  if (!(Number(mag) < 30) || !(axes[0] > 0) || !axes.every((a) => a > 0)) continue;
  const major = Math.max(...axes), minor = axes.length > 1 ? Math.min(...axes) : major;
  deepSky.push({ order: `${'MNI'.indexOf(catalogueKey[prefix])}${number.padStart(5, '0')}`,
    line: `${catalogueKey[prefix]}${number},${type},${Number(mag).toFixed(2)},${major.toFixed(2)},${minor.toFixed(2)},` });
}
deepSky.sort((a, b) => (a.order < b.order ? -1 : a.order > b.order ? 1 : 0));
write('deepSkyData.txt', deepSky.map((d) => d.line));

// Well-known NGC and IC objects: the Caldwell catalogue's, and a few favourites of the
// showpiece lists; each list ends with 0.
const wellKnownNgc = [
  40, 55, 104, 147, 185, 188, 246, 247, 253, 281, 300, 362, 457, 559, 663, 752, 869, 884,
  891, 1097, 1261, 1275, 1499, 1851, 2070, 2237, 2244, 2261, 2264, 2360, 2362, 2392, 2403,
  2419, 2477, 2506, 2516, 2775, 2867, 3115, 3132, 3195, 3201, 3242, 3372, 3532, 3626, 3766,
  4038, 4039, 4236, 4244, 4372, 4449, 4559, 4565, 4609, 4631, 4697, 4755, 4833, 4889, 4945,
  5005, 5128, 5139, 5248, 5286, 5694, 5823, 6025, 6087, 6101, 6124, 6193, 6231, 6302, 6352,
  6397, 6541, 6543, 6729, 6744, 6752, 6822, 6826, 6885, 6888, 6934, 6946, 6960, 6992, 7000,
  7006, 7009, 7023, 7243, 7293, 7331, 7479, 7635, 7662, 7814,
];
const wellKnownIc = [59, 63, 342, 405, 434, 1396, 1613, 1805, 1848, 2118, 2177, 2391, 2602, 2944, 4665, 4756, 5146];
const present = (prefix) => (n) => positions.has(`${prefix} ${n}`);
write('ngcLib.txt', [...wellKnownNgc.filter(present('NGC')), 0].map(String));
write('icLib.txt.txt', [...wellKnownIc.filter(present('IC')), 0].map(String));

// The Milky Way: the five nested brightness outlines rasterised to an equal-area grid of
// points, each carrying the level of the innermost outline that holds it. The chart draws a
// point when level / 2 > 5, in grey (g, g, max(g, 20)) with g = level / 2: the outlines give
// g = 14, 22, 30, 38 and 46, a faint glow that brightens toward the galactic plane.
const levelOfOutline = (k) => 2 * (6 + 8 * k);
const gridStep = 0.2317; // degrees between neighbouring points
const deg = Math.PI / 180;
const toGalactic = [
  [-0.0548755604, -0.8734370902, -0.4838350155],
  [0.4941094279, -0.4448296300, 0.7469822445],
  [-0.8676661490, -0.1980763734, 0.4559837762],
];
function rotate(m, v, transpose) {
  return [0, 1, 2].map((i) => [0, 1, 2].reduce((s, j) => s + (transpose ? m[j][i] : m[i][j]) * v[j], 0));
}
function sphericalToVector(lon, lat) {
  return [Math.cos(lat * deg) * Math.cos(lon * deg), Math.cos(lat * deg) * Math.sin(lon * deg), Math.sin(lat * deg)];
}
function vectorToSpherical(v) {
  let lon = Math.atan2(v[1], v[0]) / deg;
  if (lon < 0) lon += 360;
  return [lon, Math.asin(Math.max(-1, Math.min(1, v[2]))) / deg];
}
const mod360 = (x) => ((x % 360) + 360) % 360;

// Edges of one outline in galactic coordinates, bucketed by whole degrees of longitude. A
// point is inside when a ray from it to the north galactic pole (outside every outline)
// crosses an odd number of edges.
function outlineEdges(feature) {
  const buckets = Array.from({ length: 360 }, () => []);
  for (const polygon of feature.geometry.coordinates) {
    for (const ring of polygon) {
      const g = ring.map(([lon, lat]) => vectorToSpherical(rotate(toGalactic, sphericalToVector(lon, lat))));
      for (let i = 1; i < g.length; ++i) {
        let [a, b] = [g[i - 1], g[i]];
        let span = mod360(b[0] - a[0]);
        if (span > 180) { [a, b] = [b, a]; span = 360 - span; }
        if (span === 0) continue;
        const edge = { l: a[0], b: a[1], span, rise: b[1] - a[1] };
        for (let d = Math.floor(a[0]); d <= Math.floor(a[0] + span); ++d) buckets[mod360(d)].push(edge);
      }
    }
  }
  return buckets;
}
function inside(buckets, l, b) {
  let crossings = 0;
  for (const e of buckets[Math.floor(l)]) {
    const u = mod360(l - e.l);
    if (u < e.span && e.b + (u / e.span) * e.rise > b) ++crossings;
  }
  return crossings % 2 === 1;
}
const outlines = ['ol1', 'ol2', 'ol3', 'ol4', 'ol5'].map((id) => outlineEdges(read('mw.json').features.find((f) => f.id === id)));
const milkyWay = [];
for (let b = -90 + gridStep / 2; b < 90; b += gridStep) {
  const count = Math.max(1, Math.round((360 * Math.cos(b * deg)) / gridStep));
  for (let i = 0; i < count; ++i) {
    const l = ((i + 0.5) * 360) / count;
    let level = 0;
    while (level < 5 && inside(outlines[level], l, b)) ++level;
    if (level === 0) continue;
    const [ra, dec] = vectorToSpherical(rotate(toGalactic, sphericalToVector(l, b), true));
    let hours = (ra / 15).toFixed(4);
    if (Number(hours) >= 24) hours = (0).toFixed(4);
    milkyWay.push(`${hours},${dec.toFixed(3)},${levelOfOutline(level)},`);
  }
}
write('milkyway.txt', milkyWay);
