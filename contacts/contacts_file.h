#pragma once

#include "store/data_file.h"
#include "store/record_file.h"

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace durnmoor {

inline constexpr char contacts_file_name[] = "contacts.dat";
inline constexpr char contacts_twin_name[] = "contacts2.dat";

// The lines of a contact record, 1-based as they stand in contacts.dat.
enum ContactLine : int {
    company_name = 1,
    contact_name,
    address_line1,
    address_line2,
    address_line3,
    address_line4,
    address_line5,
    address_line6,
    postal_code,
    telephone_no,
    facsimile_no,
    email_address,
};
inline constexpr int contact_line_count = 12;

// One calibration company: the 12 lines exactly as read, without their line ends.
struct contact_record {
    std::array<std::string, contact_line_count> lines;

    std::string &operator[](int line) { return lines[static_cast<std::size_t>(line - 1)]; }
    const std::string &operator[](int line) const
    {
        return lines[static_cast<std::size_t>(line - 1)];
    }
    auto begin() const { return lines.begin(); }
    auto end() const { return lines.end(); }
};

// contacts.dat and contacts2.dat in the data folder.
DataFilePlace contacts_file(const QString &app_path);

// The fields of a contact as the address book names them, in file order.
inline constexpr const char *contact_field_names[] = {
    "Company Name",   "Contact Name",   "Address Line#1", "Address Line#2",
    "Address Line#3", "Address Line#4", "Address Line#5", "Address Line#6",
    "Postal Code",    "Telephone No",   "Facsimile No",   "E-Mail Address"};

// The address book: 12-line records in the order the companies were first saved.
class ContactsData : public RecordFile {
public:
    explicit ContactsData(std::string bytes = {})
        : RecordFile(std::move(bytes), contact_line_count, contact_field_names)
    {
    }
    contact_record record(std::size_t i) const;

    // The name a partly typed company name completes to: the first company, in file order,
    // whose name in small letters holds the typed text in small letters. An empty text
    // completes to the first company; nullopt when none holds it.
    std::optional<std::string> complete_company(const QString &typed) const;
};

// "Copy Details to Clipboard": the twelve texts as shown, each followed by CR LF.
QString clipboard_text(const std::array<QString, contact_line_count> &fields);

} // namespace durnmoor
