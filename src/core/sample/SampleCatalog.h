#pragma once

#include <span>

namespace tl {

// The master data of the sample account set: a small office-supplies trader
// with three warehouses. Texts are UTF-8.
struct SampleCatalog {
    struct Product {
        int classIndex; // into classes()
        const char* shortName;
        const char* name;
        const char* code;
        double price;
        const char* unit;
        int supplierIndex; // into suppliers(): who usually delivers it
    };
    struct Customer {
        const char* name;
        int regionIndex;
        const char* address;
        const char* postcode;
        const char* phone;
        const char* mobile;
        const char* fax;
        const char* email;
        const char* website;
    };
    struct Supplier {
        const char* name;
        int regionIndex;
        const char* contact;
        const char* phone;
        const char* mobile;
        const char* fax;
        const char* email;
        const char* address;
        const char* postcode;
        const char* website;
    };
    struct Named {
        const char* name;
        const char* detail; // address, account number or remark
        const char* memo;
    };
    struct Operator {
        const char* name;
        const char* password;
        const char* mobile;
        const char* memo;
        std::span<const char* const> rights;
    };

    static std::span<const char* const> classes();
    static std::span<const char* const> regions();
    static std::span<const Product> products();
    static std::span<const Customer> customers();
    static std::span<const Supplier> suppliers();
    static std::span<const Named> storages(); // the first is the main warehouse
    static std::span<const Named> accounts(); // the first is cash
    static std::span<const Operator> operators();
};

} // namespace tl
