// The in-memory tables of the main window: the projects a run found and the
// project properties kept between runs.
#pragma once

#include "tornel/settings/mem_table.h"

namespace tornel {

// CdsGrpFuente: one row per client/server pair or individual project.
MemTable MakeCdsGrpFuente();
// cdsProjProp: properties applied to the projects (output folders, ...).
MemTable MakeCdsProjProp();
// Appends the three default properties.
void AgregarPropiedadesPorDefecto(MemTable& cdsProjProp);

}  // namespace tornel
