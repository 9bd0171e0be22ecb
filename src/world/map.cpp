#include "world/map.h"

namespace qm {

void fill_map(MapCells& map, Cell cell) { map.fill(cell); }

}  // namespace qm
