#include "datachecks/data_check.h"

namespace kenshin::datachecks {

void run_item_rules(DataCheck& /*check*/) {}

}  // namespace kenshin::datachecks
