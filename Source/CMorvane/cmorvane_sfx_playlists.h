// Playlists (ordered lists of music IDs, duplicates allowed) and TRandomizer,
// the weighted random choice the playlists use to pick the next piece. The
// randomizer reports its two failures as plain text exceptions.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

class M2DPlaylist {
 public:
  // Music IDs in document order.
  std::vector<std::int32_t> entries;
};

template <class T>
class TRandomizer {
 public:
  void AddValue(const T& fp_Value, std::int32_t fp_iWeight) {
    values.push_back(fp_Value);
    weights.push_back(fp_iWeight);
    ++count;
  }

  // Value i owns the draws [low_i, low_i + weight_i), the ranges following one
  // another from 0; a draw is rand() modulo the sum of the weights.
  T GetRandomValue() const {
    if (count <= 0) throw "No values were thrown in randomizer!";
    if (count == 1) return values[0];
    // Weights of 0 or below are not used by the engine; a sum that is not
    // positive has no range to draw from.
    std::int64_t tmp_iSum = 0;
    for (std::int32_t tmp_iWeight : weights) tmp_iSum += tmp_iWeight;
    if (tmp_iSum <= 0) throw "Error in TRandomizer::GetRandomValue!";
    const std::int64_t tmp_iDraw = static_cast<std::int64_t>(std::rand()) % tmp_iSum;
    std::int64_t tmp_iLow = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::int64_t tmp_iHigh = tmp_iLow + weights[i];
      if (tmp_iDraw >= tmp_iLow && tmp_iDraw < tmp_iHigh) return values[i];
      tmp_iLow = tmp_iHigh;
    }
    throw "Error in TRandomizer::GetRandomValue!";
  }

  std::vector<T> values;
  std::vector<std::int32_t> weights;
  std::int32_t count = 0;
};
