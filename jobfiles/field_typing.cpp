#include "jobfiles/field_typing.h"

#include <cassert>

#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

// A variant field used as a number: what arithmetic on it would give, or a type mismatch.
double variant_number(FieldReader& in) {
    const std::size_t at = in.offset();
    const Variant v = in.variant();
    if (!v.number) {
        in.fail(base::ErrorNumber::type_mismatch, at,
                quoted_field(v.text) + "は数値ではありません");
    }
    return *v.number;
}

}  // namespace

/* ---------------------------------------------------------------- read_field */
void read_field(FieldReader& in, FieldType type, std::int16_t& into) {
    if (type == FieldType::int16) {
        into = in.int16();
        return;
    }
    assert(type == FieldType::variant_int16);
    const std::size_t at = in.offset();
    const double value = variant_number(in);
    try {
        into = to_int16(value);
    } catch (const base::RunTimeError&) {
        in.fail(base::ErrorNumber::overflow, at, int16_range);
    }
}

void read_field(FieldReader& in, FieldType type, std::int32_t& into) {
    assert(type == FieldType::int32);
    (void)type;
    into = in.int32();
}

void read_field(FieldReader& in, FieldType type, double& into) {
    switch (type) {
        case FieldType::int16:
            into = in.int16();
            return;
        case FieldType::int32:
            into = in.int32();
            return;
        case FieldType::variant_number:
            into = variant_number(in);
            return;
        case FieldType::unused:
            into = in.variant().number.value_or(0);
            return;
        default:
            assert(type == FieldType::real);
            into = in.real();
            return;
    }
}

void read_field(FieldReader& in, FieldType type, Variant& into) {
    assert(type == FieldType::variant);
    (void)type;
    into = in.variant();
}

void read_field(FieldReader& in, FieldType type, std::string& into) {
    assert(type == FieldType::text);
    (void)type;
    into = std::string(in.text());
}

}  // namespace jobfiles
