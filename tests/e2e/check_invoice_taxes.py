#!/usr/bin/env python3
"""Checks that the taxes of Facturae 3.2.2 invoice files agree at every level.

  check_invoice_taxes.py FILE...

For each invoice, from the file alone: the output bases add up to the total
before taxes and their amounts to the total of outputs; each invoice tax is
its base times its rate to the cent; the lines of each tax add up exactly to
its base and amount; lines marked not subject (special taxable
event 02) are at rate 0; one tax type for the outputs at every level;
withholding lines only under an invoice withholding; TotalGrossAmount is the
sum of the lines; InvoiceTotal = before taxes + outputs - withheld, equal to
the instalment and the batch totals; no amount is "-0.00". Prints one line
per fault and exits 1 when there is any.
"""
import sys
import xml.etree.ElementTree as ET
from decimal import ROUND_HALF_EVEN, Decimal


def cents(text):
    return Decimal(text).quantize(Decimal("0.01"))


def taxes(parent, element):
    block = parent.find(element)
    if block is None:
        return []
    return [(t.findtext("TaxTypeCode"), Decimal(t.findtext("TaxRate")),
             cents(t.findtext("TaxableBase/TotalAmount")),
             cents(t.findtext("TaxAmount/TotalAmount"))) for t in block.findall("Tax")]


def check(path):
    faults = []
    fault = faults.append
    raw = open(path, "rb").read()
    if b">-0.00<" in raw:
        fault("an amount is -0.00")
    root = ET.fromstring(raw)
    invoice = root.find("Invoices/Invoice")
    totals = invoice.find("InvoiceTotals")
    total = lambda name: cents(totals.findtext(name))
    outputs = taxes(invoice, "TaxesOutputs")
    withheld = taxes(invoice, "TaxesWithheld")
    lines = invoice.findall("Items/InvoiceLine")

    if sum(t[2] for t in outputs) != total("TotalGrossAmountBeforeTaxes"):
        fault("output bases do not add up to the total before taxes")
    if sum(t[3] for t in outputs) != total("TotalTaxOutputs"):
        fault("output amounts do not add up to TotalTaxOutputs")
    if sum(t[3] for t in withheld) != total("TotalTaxesWithheld"):
        fault("withheld amounts do not add up to TotalTaxesWithheld")
    for code, rate, base, amount in outputs + withheld:
        expected = (base * rate / 100).quantize(Decimal("0.01"), ROUND_HALF_EVEN)
        if expected != amount:
            fault(f"tax {code} {rate}: {base} x rate gives {expected}, not {amount}")
    if len({t[0] for t in outputs}) > 1 or any(t[0] == "04" for t in outputs):
        fault("outputs of more than one type")
    if any(t[0] != "04" for t in withheld):
        fault("a withholding that is not coded 04")

    gross = Decimal("0.00")
    line_sums = {}
    for line in lines:
        line_gross = cents(line.findtext("GrossAmount"))
        gross += line_gross
        line_outputs = taxes(line, "TaxesOutputs")
        line_withheld = taxes(line, "TaxesWithheld")
        if len(line_outputs) != 1:
            fault("a line without exactly one output tax")
        if line_withheld and not withheld:
            fault("a line withholding under an invoice without withholding")
        for key, entries in (("out", line_outputs), ("withheld", line_withheld)):
            for code, rate, base, amount in entries:
                if base != line_gross:
                    fault(f"a line tax base {base} is not its gross amount {line_gross}")
                if outputs and key == "out" and code != outputs[0][0]:
                    fault("a line output type differs from the invoice's")
                sums = line_sums.setdefault((key, rate), [Decimal(0), Decimal(0)])
                sums[0] += base
                sums[1] += amount
        rate = line_outputs[0][1] if line_outputs else None
        event = line.findtext("SpecialTaxableEvent/SpecialTaxableEventCode")
        if event is not None and (event != "02" or rate != 0):
            fault(f"a line at rate {rate} with special taxable event {event}")
    for key, entries in (("out", outputs), ("withheld", withheld)):
        for code, rate, base, amount in entries:
            sums = line_sums.pop((key, rate), None)
            if sums is None or sums != [base, amount]:
                fault(f"lines of {key} {rate} add up to {sums}, not {base} {amount}")
    for key, sums in line_sums.items():
        fault(f"lines of {key} {key[1]} have no invoice tax")
    if gross != total("TotalGrossAmount"):
        fault("TotalGrossAmount is not the sum of the lines")
    invoice_total = total("InvoiceTotal")
    if invoice_total != (total("TotalGrossAmountBeforeTaxes") + total("TotalTaxOutputs") -
                         total("TotalTaxesWithheld")):
        fault("InvoiceTotal is not before taxes + outputs - withheld")
    other_totals = [invoice.findtext("PaymentDetails/Installment/InstallmentAmount"),
                    root.findtext("FileHeader/Batch/TotalInvoicesAmount/TotalAmount"),
                    totals.findtext("TotalExecutableAmount")]
    if any(cents(t) != invoice_total for t in other_totals):
        fault("the instalment, batch or executable total differs from InvoiceTotal")
    return faults


def main():
    bad = 0
    for path in sys.argv[1:]:
        for fault in check(path):
            print(f"{path}: {fault}")
            bad += 1
    print(f"taxes: {len(sys.argv) - 1} invoices checked, {bad} faults")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
