#include "plot/DiversityTables.h"

#include "textio/DiversityTable.h"

namespace quorvella {

namespace {

std::vector<DiversityProfile> profilesOf(const std::vector<DiversityOutcome> &outcomes)
{
    std::vector<DiversityProfile> profiles;
    for (const DiversityOutcome &outcome : outcomes) {
        if (outcome.profile) {
            profiles.push_back(*outcome.profile);
        }
    }
    return profiles;
}

} // namespace

std::string curvesTableText(const DiversityResult &result)
{
    return diversityTableText(profilesOf(result.curves));
}

std::string commonTableText(const DiversityResult &result)
{
    std::vector<DiversityProfile> profiles = profilesOf(result.common);
    for (DiversityProfile &profile : profiles) {
        profile.asymptotic.clear(); // the curves' table has them
    }
    return diversityTableText(profiles);
}

} // namespace quorvella
