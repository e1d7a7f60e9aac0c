#pragma once
// The vouchers speak the printing vocabulary: page writers, print routines and the print path
// are printing's, and the voucher code names them as its own.

#include "printing/pagewriter.h"

namespace vouchers {
using namespace printing;
} // namespace vouchers
