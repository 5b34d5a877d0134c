-- A long sales history, sized by the session variables @customers,
-- @products and @sales (bench/common.sh sets them): every customer and
-- product sells, dates spread over 1,000 days from 2008-03-05.
INSERT INTO customers (ID, FirstName, SurName, Address, City, Telephone, Email, PersonalIDNo, Joined, ShippingAddress)
SELECT seq, CONCAT('Firstname', seq), CONCAT('Surname', seq), CONCAT(seq, ' Main Street'), 'BUD',
       '0612345678', CONCAT('customer', seq, '@example.com'), '1234567', '2008-03-05', CONCAT(seq, ' Harbour Road')
FROM seq_1_to_10000000 WHERE seq <= @customers;

INSERT INTO products (ID, Description, UM, Quantity, Price, BarCode, LastDelivery)
SELECT seq, CONCAT('Product number ', seq, ' of the shop'), 'Pcs', 1000, 10 + seq / 4, CONCAT('599', seq),
       DATE '2008-03-05' + INTERVAL (seq % 1000) DAY
FROM seq_1_to_10000000 WHERE seq <= @products;

INSERT INTO turnover (ID, ProductID, Quantity, Price, PricewTax, Date, CustomerID)
SELECT seq, 1 + seq % @products, 1 + seq % 7, 12.5, 14.75, DATE '2008-03-05' + INTERVAL (seq % 1000) DAY,
       1 + seq % @customers
FROM seq_1_to_100000000 WHERE seq <= @sales;

-- A shop's tables grow a little at a time and the server keeps its
-- statistics up to date as they do; after a bulk load they still describe
-- the empty tables until it gets round to them, and the plans that follow
-- from that are no shop's.
ANALYZE TABLE customers, products, turnover;
