// SPDX-License-Identifier: MIT
#include "discovery/model_icons.h"

namespace nimbrel {

IconChoice chooseModelIcon(std::string_view model) {
    for (const ModelIconRow& row : ModelIconTable) {
        if (model.find(row.pattern) != std::string_view::npos) {
            return {row.imageIndex, row.clearsFirstMacByte};
        }
    }
    return {DefaultImageIndex, false};
}

}  // namespace nimbrel
