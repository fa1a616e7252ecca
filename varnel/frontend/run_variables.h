// The run variables the options dialog sets for the start-up and the Word run.
#pragma once

#include <cstdint>
#include <string>

namespace frontend {

struct RunVariables {
    std::int16_t Start_Page = 0;
    std::int16_t End_Page = 0;
    bool Matrix_SW = false;  // tables as Word tables; false: as drawings
    std::string Doc_Name;    // UTF-8, no folder, no extension
    bool Split_SW = false;
    std::int16_t Split_Page = 0;
    bool Word_SW = false;  // Word route; false: Excel route
};

}  // namespace frontend
