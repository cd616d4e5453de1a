// ProductDescription: reads a product description (TOML) into a Product and
// checks it, reporting every mistake with its file, line and field.
#pragma once

#include <string>
#include <vector>

#include "Product.h"

class ProductDescription {
public:
	ProductDescription();

	// Reads the description at `path`; relative paths in it start at its folder.
	status_t Load(const char* path);
	// Reads a description held in memory; `path` names it in errors and its
	// folder is where relative paths start.
	status_t Parse(const std::string& text, const char* path);
	status_t InitCheck() const { return fStatus; }

	const Product& GetProduct() const { return fProduct; }
	Product& GetProduct() { return fProduct; }
	// "FILE:LINE: field `x`: message", one per mistake, in the order found.
	const std::vector<std::string>& Errors() const { return fErrors; }

private:
	Product fProduct;
	std::vector<std::string> fErrors;
	status_t fStatus;
};
