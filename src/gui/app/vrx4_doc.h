// The document of the single-document window set. It holds no data: the
// device state lives in the application object.
#pragma once

namespace vrx4 {

class CVRX4Doc {};

}  // namespace vrx4
