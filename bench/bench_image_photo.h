// The benchmark photo: 2720 x 2040 pixels of 24-bit colour, the largest common
// photo size a picture holds without reduction. Generated here so that our
// code and the peer programs run on the same pixels: a sky gradient, soft
// coloured blobs, hard-edged shapes and sensor grain.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image/image.h"

inline constexpr int kBenchPhotoWidth = 2720;
inline constexpr int kBenchPhotoHeight = 2040;

// Red, green, blue of pixel (x, y).
inline void BenchPhotoPixel(int x, int y, std::uint32_t& grain, std::uint8_t rgb[3]) {
  const double u = x / static_cast<double>(kBenchPhotoWidth);
  const double v = y / static_cast<double>(kBenchPhotoHeight);
  double r = 70 + 120 * v, g = 120 + 80 * v, b = 230 - 60 * v;  // sky to ground
  struct Blob {
    double cx, cy, radius, r, g, b;
  };
  static const Blob blobs[] = {{0.25, 0.35, 0.18, 230, 120, 40},
                               {0.7, 0.6, 0.22, 40, 160, 60},
                               {0.5, 0.85, 0.15, 140, 90, 60},
                               {0.85, 0.2, 0.1, 250, 240, 200},
                               {0.1, 0.8, 0.12, 120, 40, 150}};
  for (const Blob& blob : blobs) {
    const double d2 = ((u - blob.cx) * (u - blob.cx) + (v - blob.cy) * (v - blob.cy)) /
                      (blob.radius * blob.radius);
    const double w = std::exp(-d2);
    r += (blob.r - r) * w;
    g += (blob.g - g) * w;
    b += (blob.b - b) * w;
  }
  // Hard edges: a striped awning and a dark window.
  if (u > 0.55 && u < 0.8 && v > 0.3 && v < 0.4) {
    const bool stripe = static_cast<int>(u * 60) % 2 == 0;
    r = stripe ? 200 : 245;
    g = stripe ? 30 : 245;
    b = stripe ? 40 : 240;
  }
  if (u > 0.15 && u < 0.3 && v > 0.55 && v < 0.7) r = g = b = 25 + 20 * std::sin(u * 200);
  // Texture and grain.
  const double texture = 12 * std::sin(x * 0.21) * std::cos(y * 0.17);
  grain = grain * 1664525u + 1013904223u;
  const double noise = static_cast<int>(grain >> 27) - 16;
  rgb[0] = static_cast<std::uint8_t>(std::clamp(r + texture + noise * 0.5, 0.0, 255.0));
  rgb[1] = static_cast<std::uint8_t>(std::clamp(g + texture + noise * 0.4, 0.0, 255.0));
  rgb[2] = static_cast<std::uint8_t>(std::clamp(b + texture * 0.5 + noise * 0.6, 0.0, 255.0));
}

inline void FillBenchPhoto(TImage& image) {
  image.Create(kBenchPhotoWidth, kBenchPhotoHeight, 1, 1, 3, 1, 0);
  std::uint32_t grain = 2024;
  std::vector<std::uint8_t> red(kBenchPhotoWidth), green(kBenchPhotoWidth), blue(kBenchPhotoWidth);
  for (int y = 0; y < kBenchPhotoHeight; ++y) {
    for (int x = 0; x < kBenchPhotoWidth; ++x) {
      std::uint8_t rgb[3];
      BenchPhotoPixel(x, y, grain, rgb);
      red[x] = rgb[0];
      green[x] = rgb[1];
      blue[x] = rgb[2];
    }
    image.PutRow(0, y, red.data(), green.data(), blue.data(), kBenchPhotoWidth, -1);
  }
}

// Binary PPM (P6) of a 24-bit picture.
inline bool WriteBenchPpm(const TImage& image, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height);
  std::vector<std::uint8_t> row(std::size_t(image.width) * 3);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    for (int x = 0; x < image.width; ++x) {
      row[3 * x] = p[3 * x + 2];
      row[3 * x + 1] = p[3 * x + 1];
      row[3 * x + 2] = p[3 * x];
    }
    std::fwrite(row.data(), 1, row.size(), file);
  }
  return std::fclose(file) == 0;
}

// Reads a P6 PPM written by a peer into red, green, blue bytes; empty on failure.
inline std::vector<std::uint8_t> ReadBenchPpm(const std::string& path, int& width, int& height) {
  std::vector<std::uint8_t> pixels;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return pixels;
  int maxval = 0;
  if (std::fscanf(file, "P6 %d %d %d", &width, &height, &maxval) == 3 && maxval == 255 &&
      width > 0 && height > 0 && width <= 8192 && height <= 8192 && std::fgetc(file) != EOF) {
    pixels.resize(std::size_t(width) * height * 3);
    if (std::fread(pixels.data(), 1, pixels.size(), file) != pixels.size()) pixels.clear();
  }
  std::fclose(file);
  return pixels;
}

// PSNR over all three channels of red-green-blue pixels against the picture.
inline double BenchPsnr(const TImage& image, const std::vector<std::uint8_t>& rgb) {
  if (rgb.size() != std::size_t(image.width) * image.height * 3) return 0;
  double squared = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* p = image.Row(y);
    const std::uint8_t* q = &rgb[std::size_t(y) * image.width * 3];
    for (int x = 0; x < image.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        const double d = double(p[3 * x + 2 - c]) - q[3 * x + c];
        squared += d * d;
      }
    }
  }
  const double mse = squared / (3.0 * image.width * image.height);
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}
