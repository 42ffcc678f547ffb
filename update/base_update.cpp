#include "update/base_update.h"

#include "shell/application.h"

namespace plotrak {

BaseUpdate::BaseUpdate(Application& app) : app_(app) {}

BaseUpdate::~BaseUpdate() = default;

}  // namespace plotrak
