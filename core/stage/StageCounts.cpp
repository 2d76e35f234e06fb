#include "stage/StageCounts.h"

namespace zorp {

StageCounts CountStageObjects(const StageGrid& cells)
{
    StageCounts counts;
    for (uint8_t cell : cells) {
        switch (cell) {
        case Empty: ++counts.empty; break;
        case Red: ++counts.red; break;
        case Blue: ++counts.blue; break;
        case Star: ++counts.stars; break;
        case Ring: ++counts.rings; break;
        case Yellow: ++counts.yellow; break;
        default: ++counts.other; break;
        }
    }
    return counts;
}

std::string DescribeCounts(const StageCounts& c)
{
    return "blue " + std::to_string(c.blue) + ", red " + std::to_string(c.red) + ", rings " +
           std::to_string(c.rings) + ", stars " + std::to_string(c.stars) + ", yellow " + std::to_string(c.yellow);
}

} // namespace zorp
