#include "plans/plan_prototypes.h"

namespace sscplan {

void PlanPrototypes::setMessageBoxes(MessageBoxes* messages) {
    for (PlanBase* plan : std::initializer_list<PlanBase*>{
             &fiveStarSingleDigit, &anyGroupThree, &sumOddEven, &sumBigSmall, &positionOddEven,
             &positionBigSmall, &positionCodes, &groupSix, &groupThree, &straightSingle,
             &straightCompound}) {
        plan->setMessageBoxes(messages);
    }
}

}  // namespace sscplan
