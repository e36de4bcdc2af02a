#include "export/BusyCursor.h"

void BusyCursor::Set(bool busy) {
    if (show_ && busy != busy_) {
        show_(busy);
    }
    busy_ = busy;
}
