// How a fit, or one stage of it, ended. A failure is the string id of the
// message that tells the user why; a stop (the user's, or a new request that
// replaces the fit) is never reported. The engine reports in one place, as
// the fit returns.
#pragma once

#include "platform/StringIds.h"
#include "platform/Types.h"

enum class EFitOutcome : UINT {
    Done = 0,
    Stopped = 1,
    TooFewPoints = IDS_FIT_TOO_FEW_POINTS,
    NoEstimates = IDS_FIT_ESTIMATE_ERROR,
    NotConverged = IDS_FIT_NOT_CONVERGED,
};

// The message of a failure; 0 when the fit is done or was stopped.
constexpr UINT FailureMessage(EFitOutcome outcome)
{
    return outcome == EFitOutcome::Done || outcome == EFitOutcome::Stopped ? 0 : UINT(outcome);
}
