#include "constructions/constructioncontext.h"

namespace kalydor {

const ConstructionContext& constructionContextOf(const ItemContext& context) {
    static const ConstructionContext none;
    const auto* constructions = dynamic_cast<const ConstructionContext*>(&context);
    return constructions ? *constructions : none;
}

} // namespace kalydor
