// Reads the game's pictures for the web checks: the 8-bit palette PNGs that
// kawauo-sim --shots writes (unfiltered rows, as player/png_write.cpp
// makes them) and the 8-bit BMPs of bmp/, each as indices, top row first,
// and an RGB palette; and whether such a picture shows on the canvas.
'use strict';
const fs = require('fs');
const zlib = require('zlib');

function readPalettePng(path) {
  const data = fs.readFileSync(path);
  let width = 0,
    height = 0,
    palette = null;
  const idat = [];
  for (let at = 8; at < data.length;) {
    const length = data.readUInt32BE(at);
    const type = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[9] !== 3) throw new Error(`${path}: not an 8-bit palette PNG`);
    } else if (type === 'PLTE') {
      palette = Uint8Array.from(body);
    } else if (type === 'IDAT') {
      idat.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const pixels = new Uint8Array(width * height);
  for (let y = 0; y < height; ++y) {
    const row = y * (width + 1);
    if (raw[row] !== 0) throw new Error(`${path}: row ${y} is filtered`);
    pixels.set(raw.subarray(row + 1, row + 1 + width), y * width);
  }
  return {width, height, pixels, palette};
}

function readBmp(path) {
  const data = fs.readFileSync(path);
  const offset = data.readUInt32LE(10),
    headerSize = data.readUInt32LE(14);
  const width = data.readInt32LE(18),
    rawHeight = data.readInt32LE(22);
  if (data.readUInt16LE(28) !== 8) throw new Error(`${path}: not an 8-bit BMP`);
  const colours = data.readUInt32LE(46) || 256;
  const palette = new Uint8Array(256 * 3);
  for (let i = 0; i < colours; ++i) {
    const at = 14 + headerSize + 4 * i;
    palette.set([data[at + 2], data[at + 1], data[at]], 3 * i);
  }
  const height = Math.abs(rawHeight),
    stride = (width + 3) & ~3;
  const pixels = new Uint8Array(width * height);
  for (let y = 0; y < height; ++y) {
    const row = offset + stride * (rawHeight > 0 ? height - 1 - y : y);
    pixels.set(data.subarray(row, row + width), y * width);
  }
  return {width, height, pixels, palette};
}

// Whether a full-screen keyed picture shows: at most 5% of its opaque pixels
// (those not of its corner's colour) missing from the canvas (RGBA).
function showsOverlay(rgba, overlay) {
  const key = overlay.pixels[0];
  let opaque = 0,
    misses = 0;
  for (let i = 0; i < overlay.pixels.length; ++i) {
    const p = overlay.pixels[i] * 3;
    if (overlay.pixels[i] === key) continue;
    ++opaque;
    if (
      rgba[4 * i] !== overlay.palette[p] ||
      rgba[4 * i + 1] !== overlay.palette[p + 1] ||
      rgba[4 * i + 2] !== overlay.palette[p + 2]
    )
      ++misses;
  }
  return opaque > 0 && misses * 20 <= opaque;
}

module.exports = {readPalettePng, readBmp, showsOverlay};
