#pragma once

#include "common/errors.h"

// A misuse of the PDF writer (wrong call order, unknown font or image, value out of
// range). The text names the operation that refused the call.
class PdfError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};
