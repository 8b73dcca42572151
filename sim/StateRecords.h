#pragma once
// The register's data records in the state file as readable fields, so a person can read or
// prepare a register's content:
//     plu 12 barcode=5907000000028 price=12.50 dept=1 stocks=-1.500 flag=0 name="MILK 1L"
//     sales barcode=5907000000028 quantity=2.000 total=25.00
//     dept 3 tax=2 price=0.00 name="BAKERY"
//     recy 12 price=1.50                      (only entries with a price)
//     param Header1=THANK YOU                 ([Default] keys of SYSTEM.CFG)
//     disconnect 1                            (end-of-connection packets on the line, with status)
// Money has as many decimals as the register ("decimals"); numbers use '.' whatever the locale.
// Names are quoted, with \" \\ and \xHH for bytes outside printable ASCII. A record whose bytes
// the fields cannot give back exactly stays in its raw hexadecimal form.

#include <iosfwd>
#include <string>

struct TRegisterState;

void WriteReadableRecords(const TRegisterState& state, std::ostream& out);

// Collects the readable records of one file; they are turned into bytes at the end, when the
// register's decimals are known wherever the "decimals" line stood.
class TReadableRecordParser {
public:
    TReadableRecordParser();
    ~TReadableRecordParser();
    TReadableRecordParser(const TReadableRecordParser&) = delete;
    TReadableRecordParser& operator=(const TReadableRecordParser&) = delete;

    // False when the line is not a readable record (the caller goes on); *error is set when it
    // is one but malformed.
    bool Parse(TRegisterState& state, const std::string& kind, const std::string& rest,
               std::string* error);
    bool Finish(TRegisterState& state, std::string* error);

private:
    struct Pending;
    Pending* pending_;
};
