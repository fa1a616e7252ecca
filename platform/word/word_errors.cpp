#include "platform/word/word_errors.h"

namespace word::detail {

/* ---------------------------------------------------------------- throw_no_member */
void throw_no_member(const std::string& context) {
    throw base::RunTimeError(5941, "要求されたメンバーのコレクションが存在しません。", context);
}

/* ---------------------------------------------------------------- throw_out_of_range */
void throw_out_of_range(const std::string& context) {
    throw base::RunTimeError(4608, "値が範囲外です。", context);
}

/* ---------------------------------------------------------------- throw_invalid */
void throw_invalid(const std::string& context) {
    throw base::RunTimeError(base::ErrorNumber::invalid_call, context);
}

}  // namespace word::detail
