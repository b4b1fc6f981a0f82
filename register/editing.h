#pragma once

#include "register/products_file.h"

#include <memory>
#include <optional>

namespace durnmoor {

struct Workspace;

// The register's new contents with an instrument saved as "&Save" saves it.
struct ProductSave {
    ProductsRewrite rewrite;
    std::optional<std::size_t> changed; // the one record that changes, when only one does
};

// Every record with the instrument's number replaced in its place, each after the overwrite
// question, or the instrument appended. nullopt when a question was answered No: then
// nothing is to change.
std::optional<ProductSave> plan_product_save(Workspace &w, const ProductsData &data,
                                             const product_record &entered);
// Once the register holds what save wrote (file replaced): what is kept follows it, and the
// entry closes on the list read again.
void product_saved(Workspace &w, const DataFile &file,
                   const std::shared_ptr<const ProductsData> &before, ProductSave &&save);

// Adding, editing, saving, cancelling and deleting instruments.
void add_new_product(Workspace &w);
void edit_product(Workspace &w);
// True when the record was written.
bool save_product(Workspace &w);
void cancel_entry(Workspace &w);
void delete_selected(Workspace &w);

} // namespace durnmoor
