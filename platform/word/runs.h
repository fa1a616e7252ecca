// Character runs of a paragraph: consecutive lengths with one format each, always covering
// the paragraph's text exactly, neighbours of equal format merged.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/word/model.h"

namespace word::detail {

void normalize_runs(std::vector<Run>& runs);
// Makes a run boundary at `offset` and returns the runs after it (removed from `runs`).
std::vector<Run> split_runs(std::vector<Run>& runs, std::int32_t offset);
void insert_run(std::vector<Run>& runs, std::int32_t offset, std::int32_t length,
                std::uint32_t format);
void erase_runs(std::vector<Run>& runs, std::int32_t from, std::int32_t to);
// Gives the characters [from, to) the format `change` maps their format to.
void map_runs(std::vector<Run>& runs, std::int32_t from, std::int32_t to,
              const std::function<std::uint32_t(std::uint32_t)>& change);

}  // namespace word::detail
