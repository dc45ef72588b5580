#pragma once

#include "store/celltable.h"

// Builds a realistic dated-task store of `tasks` rows: one to six tasks on a day, days
// spread over twenty years or more, everyday texts, some of several lines. The same
// seed gives the same store. Rows come out in store order.
CellTable generateStore(int tasks, unsigned seed = 20261209);

// The first and last day numbers the generator uses.
qint64 generatedFirstDay();
