#pragma once
// The one list of every export file of a run, in the court's order.
#include <span>

#include "engine/catalogue.h"

namespace tcese {

std::span<const CatalogueStep> annualCatalogue();
std::span<const CatalogueStep> monthlyCatalogue();

}  // namespace tcese
