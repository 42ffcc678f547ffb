#include "gadugadu/gg_channel.h"

#include "shell/application.h"

namespace plotrak {

GaduGaduChannel::GaduGaduChannel(Application& app) : app_(app) {}

GaduGaduChannel::~GaduGaduChannel() = default;

}  // namespace plotrak
