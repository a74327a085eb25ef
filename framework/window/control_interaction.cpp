#include "framework/window/control_interaction.h"

namespace zv::ctlx {

}  // namespace zv::ctlx
