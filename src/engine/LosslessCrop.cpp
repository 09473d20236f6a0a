#include "engine/LosslessCrop.h"

LosslessResult LosslessCrop::write(const QByteArray&, double, double, const std::string&) {
    return {LosslessOutcome::NeedsDecode, "not written yet", false, {}};
}
