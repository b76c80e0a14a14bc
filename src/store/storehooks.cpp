#include "store/storehooks.h"

namespace kalydor {

StoreHooks& storeHooks() {
    static StoreHooks hooks;
    return hooks;
}

} // namespace kalydor
