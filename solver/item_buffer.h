#pragma once

#include <cstdint>
#include <vector>

// The frame of patch identifiers that one cube face around a point renders,
// read back from the GL, and the solid-angle weight of each of its pixels.
// A face is S × S pixels (S = 2N = 560); a pixel at column c and row r (rows
// from the bottom) has offsets x = c − N and y = r − N, and all pixels of one
// 8 × 8 block (x/8, y/8, truncated toward zero) share the weight of the
// block's centre, looked up by i² + j² of the block indices (i, j).
class ItemBuffer {
  public:
    static constexpr int kHalfSize = 280;                  // N
    static constexpr int kSize = 2 * kHalfSize;            // S, the face and read-back width
    static constexpr int kBlock = 8;                       // pixels per block side
    static constexpr int kLastBlock = kHalfSize / kBlock;  // 35: the offset −280 alone
    // Entries of the weight table: (N + 1) · ((N + 1) · 2 / 8) / 8.
    static constexpr int kTableSize = (kHalfSize + 1) * ((kHalfSize + 1) * 2 / 8) / 8;
    // (2/561)²: the solid angle of one pixel seen straight on, 561 wide.
    static constexpr double kPixelWeight = (2.0 / 561.0) * (2.0 / 561.0);

    // Builds the weight table on first use; later calls keep it.
    void buildWeights();
    bool hasWeights() const { return !weights_.empty(); }
    const std::vector<float>& weights() const { return weights_; }
    // Weight of the pixel at offsets (x, y); the table must be built.
    float weight(int x, int y) const {
        int i = x / kBlock;
        int j = y / kBlock;
        return weights_[i * i + j * j];
    }

    // Reads the frame back from the current GL read buffer: all S × S pixels
    // from (0, 0), or for a half face the upper S × N from (0, N). Returns
    // the RGB bytes, rows bottom to top, and their first row's offset y.
    const uint8_t* readBack(bool fullFace, int& firstRowOffset);

    // The identifier that an RGB pixel encodes: red is its lowest byte.
    static int identifier(const uint8_t* rgb) { return rgb[0] | rgb[1] << 8 | rgb[2] << 16; }

    unsigned int displayList = 0;  // the scene's identifier batch, 0 until compiled

  private:
    std::vector<float> weights_;
    std::vector<uint8_t> pixels_;
};
