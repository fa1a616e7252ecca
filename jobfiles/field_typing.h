// How a program types the fields of a record. Both programs read the same records of PRN_CHAR
// and PRN_PICT, each with its own types: the Word converter rounds block corners to integers and
// keeps some fields as variants that convert only where they are used, the workbook route keeps
// corners exact and reads plain numbers. The walk over a record is one; the typing is data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "jobfiles/field_reader.h"

namespace jobfiles {

enum class FieldType : std::uint8_t {
    int16,           // rounded, ties to even; overflow beyond 16 bits
    int32,           // the same in 32 bits
    real,            // a double
    variant,         // kept as read, with its number where it is one
    variant_number,  // a variant used as a number: type mismatch when it is none
    variant_int16,   // the same, then held in 16 bits
    unused,          // a variant the program never converts: its number, or 0
    text,            // the field's text
};

// One field read as `type` into a variable of the type that holds the value. A type the
// variable cannot hold is a programming error (asserted).
void read_field(FieldReader& in, FieldType type, std::int16_t& into);
void read_field(FieldReader& in, FieldType type, std::int32_t& into);
void read_field(FieldReader& in, FieldType type, double& into);
void read_field(FieldReader& in, FieldType type, Variant& into);
void read_field(FieldReader& in, FieldType type, std::string& into);

// The record's fields in file order into the members named, the i-th typed by typing[i].
template <class Record, class... Members>
void read_fields(FieldReader& in, Record& record, std::span<const FieldType> typing,
                 Members Record::*... members) {
    std::size_t i = 0;
    (read_field(in, typing[i++], record.*members), ...);
}

}  // namespace jobfiles
