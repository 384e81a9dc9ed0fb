// Compiled by the layer_include_* tests as a part of one layer: it includes
// the one header WENDLOCK_INCLUDED names, which the layer may or may not see.
#include WENDLOCK_INCLUDED
