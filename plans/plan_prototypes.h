#pragma once

#include "plans/code_set_plans.h"
#include "plans/single_position_plans.h"

namespace sscplan {

// One prototype of every plan kind, created once by the composition root. The parser of
// plan specifications configures them and the engine registers clones, so a prototype can
// be configured again without disturbing registered plans.
class PlanPrototypes {
  public:
    PlanPrototypes() = default;
    PlanPrototypes(const PlanPrototypes&) = delete;
    PlanPrototypes& operator=(const PlanPrototypes&) = delete;

    // Gives every prototype (and so every clone registered afterwards) the message port
    // for the interface messages. Not owned; nullptr shows nothing.
    void setMessageBoxes(MessageBoxes* messages);

    FiveStarSingleDigitPlan fiveStarSingleDigit;
    AnyGroupThreePlan anyGroupThree;
    SumOddEvenPlan sumOddEven;
    SumBigSmallPlan sumBigSmall;
    PositionOddEvenPlan positionOddEven;
    PositionBigSmallPlan positionBigSmall;
    PositionCodesPlan positionCodes;
    GroupSixPlan groupSix;
    GroupThreePlan groupThree;
    StraightSinglePlan straightSingle;
    StraightCompoundPlan straightCompound;
};

}  // namespace sscplan
